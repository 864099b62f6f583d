// Deck selection and the view commands: zoom, wheel, origin and lights.
#include <QAction>
#include <QComboBox>

#include "cellview3d.h"
#include "lights.h"
#include "mainform.h"

namespace orlex {

namespace {
constexpr double kZoomIn = 0.9;
constexpr double kZoomOut = 1.1;
constexpr double kWheelFactor = 0.0002;
}  // namespace

void TMainForm::Deckup1Click() {
    if (!HasProject()) return;
    const int selected = ComboBox1->currentIndex();
    if (selected <= 0) return;
    ComboBox1->setCurrentIndex(selected - 1);
    CellView3D->SetCurrentDeck(ComboBox1->count() - 1 - ComboBox1->currentIndex());
    UpdateLightsStatus();
}

void TMainForm::Deckdown1Click() {
    if (!HasProject()) return;
    const int selected = ComboBox1->currentIndex();
    if (selected < 0 || selected >= ComboBox1->count() - 1) return;
    ComboBox1->setCurrentIndex(selected + 1);
    CellView3D->SetCurrentDeck(ComboBox1->count() - 1 - ComboBox1->currentIndex());
    UpdateLightsStatus();
}

void TMainForm::ComboBox1Select() {
    if (!HasProject()) return;
    const int selected = ComboBox1->currentIndex();
    if (selected >= 0) CellView3D->SetCurrentDeck(ComboBox1->count() - 1 - selected);
    UpdateLightsStatus();
    CellView3D->setFocus();
}

void TMainForm::Button1Click() {
    CellView3D->SetDistance(CellView3D->Distance * kZoomIn);
}

void TMainForm::Button2Click() {
    CellView3D->SetDistance(CellView3D->Distance * kZoomOut);
}

void TMainForm::FormMouseWheel(int wheelDelta) {
    const double distance = CellView3D->Distance;
    CellView3D->SetDistance(distance - distance * wheelDelta * kWheelFactor);
}

void TMainForm::ShowOriginClick() {
    CellView3D->ToggleOrigin();
    ShowOrigin->setChecked(CellView3D->OriginVisible);
}

void TMainForm::AddLightClick() {
    // A project without decks has no deck to hang a light in.
    if (!HasProject() || DeckCount() <= 0) return;
    if (CellView3D->GetLightCount() >= kLightSlots) return;
    CellView3D->AddLightAtFocus();
    UpdateLightsStatus();
}

void TMainForm::RemoveLightClick() {
    if (!HasProject() || DeckCount() <= 0) return;
    if (CellView3D->GetLightCount() <= 0) return;
    CellView3D->RemoveLightAtFocus();
    UpdateLightsStatus();
}

void TMainForm::UpdateLightsStatus() {
    // Without a deck there is no light count to ask for: it reads 0.
    const int lights = HasProject() && DeckCount() > 0 ? CellView3D->GetLightCount() : 0;
    SetStatusText(0, QString("Lights: %1").arg(lights));
    AddLightAllowed_ = lights < kLightSlots;
    RemoveLightAllowed_ = lights > 0;
    AddLight->setEnabled(ControlsEnabled_ && AddLightAllowed_);
    RemoveLight->setEnabled(ControlsEnabled_ && RemoveLightAllowed_);
}

}  // namespace orlex
