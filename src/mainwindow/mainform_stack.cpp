// The whole ship at once: Views > "All decks" draws every deck at its height
// with the deck box's deck in full, the cut beside the deck box isolates decks,
// the "Decks" list hides any of them and counts their persons; Views > "Plan
// view" looks straight down without perspective, with a scale bar in metres.
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QToolBar>

#include "appsettings.h"
#include "cellview3d.h"
#include "decklist.h"
#include "mainform.h"
#include "projectscene.h"

namespace orlex {

namespace {

// The settings keep the view's default spacing.
static_assert(kDefaultDeckSpacingSetting == kDefaultDeckSpacing);

// The cut's choices, in the order of TCutAway.
const char* const kCutTexts[] = {"All", "This deck and below", "Only this deck"};

}  // namespace

void TMainForm::CreateStackCommands() {
    AllDecks1 = AddWindowAction("AllDecks1", "All &decks", QKeySequence(Qt::Key_D));
    AllDecks1->setCheckable(true);
    connect(AllDecks1, &QAction::triggered, this, &TMainForm::AllDecks1Click);
    PlanView1 = AddWindowAction("PlanView1", "&Plan view", QKeySequence(Qt::Key_P));
    PlanView1->setCheckable(true);
    connect(PlanView1, &QAction::triggered, this, &TMainForm::PlanView1Click);
    AppendMenuItems(Views1, {AllDecks1, PlanView1});

    // The cut stands right after the deck box.
    CutAwayBox = new QComboBox(Panel1);
    CutAwayBox->setObjectName("CutAwayBox");
    for (const char* text : kCutTexts) CutAwayBox->addItem(text);
    CutAwayBox->setToolTip("decks drawn with all decks on [d]");
    CutAwayBox->setEnabled(false);
    connect(CutAwayBox, &QComboBox::activated, this, [this](int) { ApplyStack(); });
    const QList<QAction*> items = Panel1->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (Panel1->widgetForAction(items[i]) != ComboBox1) continue;
        Panel1->insertWidget(i + 1 < items.size() ? items[i + 1] : nullptr, CutAwayBox);
        break;
    }

    Dock_Decks = new QDockWidget("Decks", this);
    Dock_Decks->setObjectName("Dock_Decks");
    DeckList = new TDeckList(Dock_Decks);
    DeckList->setObjectName("DeckList");
    Dock_Decks->setWidget(DeckList);
    addDockWidget(Qt::LeftDockWidgetArea, Dock_Decks);
    Dock_Decks->hide();
    connect(DeckList, &TDeckList::HiddenChanged, this, &TMainForm::ApplyStack);

    // A person picked on another deck of the stack brings its deck to the box.
    connect(CellView3D, &TCellView3D::PersonPicked, this, [this](int person) {
        if (!HasProject() || !AllDecks1->isChecked() || person < 0 ||
            person >= LogFile->PersonCount())
            return;
        const int level = LogFile->Persons[static_cast<std::size_t>(person)].Level;
        if (level < 0 || level >= DeckCount() || level == CellView3D->CurrentDeck) return;
        ComboBox1->setCurrentIndex(ComboBox1->count() - 1 - level);
        CellView3D->SetCurrentDeck(level);
        UpdateLightsStatus();
    });
}

void TMainForm::AllDecks1Click() {
    const bool on = AllDecks1->isChecked();
    CutAwayBox->setEnabled(on);
    Dock_Decks->setVisible(on);
    UpdateDeckList();
    ApplyStack();
    // The camera takes in what is drawn now.
    ResetView1Click();
}

void TMainForm::PlanView1Click() {
    ApplyStack();
}

void TMainForm::ApplyStack() {
    if (CellView3D == nullptr) return;
    TStackView stack;
    stack.All = AllDecks1->isChecked();
    stack.Cut = static_cast<TCutAway>(std::max(0, CutAwayBox->currentIndex()));
    stack.Hidden = DeckList->Hidden();
    stack.Spacing = Settings_.DeckSpacing();
    stack.Plan = PlanView1->isChecked();
    stack.CellMetres = AnalysisSettingsInEffect().CellSize;
    CellView3D->SetStack(stack);
}

void TMainForm::UpdateDeckList() {
    if (DeckList == nullptr) return;
    if (!HasProject()) {
        if (DeckList->DeckCount() > 0) DeckList->SetDecks({});
        return;
    }
    const int decks = DeckCount();
    QStringList captions;
    for (int d = 0; d < decks; ++d) captions << QString::fromStdString(LogFile->GetDeckCaption(d));
    if (captions != DeckList->Captions()) {
        DeckList->SetDecks(captions);
        ApplyStack();
    }
    std::vector<int> counts(static_cast<std::size_t>(decks), 0);
    for (const TPersonData& person : LogFile->Persons)
        if (person.ShownLevel() >= 0 && person.ShownLevel() < decks)
            ++counts[static_cast<std::size_t>(person.ShownLevel())];
    DeckList->SetCounts(counts);
}

}  // namespace orlex
