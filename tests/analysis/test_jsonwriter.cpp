// The analysis object: where it comes from (file, deck captions), every person's
// exit time, and a caption next to every deck number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis.h"
#include "jsonwriter.h"
#include "projects.h"

namespace {

using orlex::AnalysisJson;
using orlex::TAnalysisJsonSource;
using orlex::TAnalysisResult;

// Two decks, a peak on deck 1 and a congested cell on each deck; no persons.
TAnalysisResult TwoDecks() {
    TAnalysisResult r;
    r.Decks = 2;
    r.Occupancy.resize(2);
    r.HasDensity = true;
    r.Peak = orlex::TDensityPeak{{1, 3, 4}, 8, 5, 2.5};
    r.Congested = {{{0, 1, 2}, 12.5}, {{1, 3, 4}, 30}};
    r.CongestedPerDeck = {1, 1};
    r.UsagePerDeck = {0, 0};
    return r;
}

void ExpectHas(const std::string& json, const std::string& part) {
    EXPECT_NE(json.find(part), std::string::npos) << "missing " << part << "\nin " << json;
}

TEST(AnalysisJsonSource, FileAndCaptions) {
    const struct {
        const char* name;
        TAnalysisJsonSource source;
        const char* written;  // how the object starts
    } cases[] = {
        {"unknown", {}, R"({"file":null,"fileName":null,"deckCaptions":["",""],)"},
        {"path with spaces",
         {"/data/run 1/ship.3dl", {"Deck 1 - Crew", "Main \"A\", deck"}},
         R"({"file":"/data/run 1/ship.3dl","fileName":"ship.3dl",)"
         R"("deckCaptions":["Deck 1 - Crew","Main \"A\", deck"],)"},
        {"relative, a caption short",
         {"runs/ship-01.3dl", {"Upper"}},
         R"({"file":"runs/ship-01.3dl","fileName":"ship-01.3dl","deckCaptions":["Upper",""],)"},
        {"captions of decks the result lacks",
         {"ship.3dl", {"A", "B", "C"}},
         R"({"file":"ship.3dl","fileName":"ship.3dl","deckCaptions":["A","B"],)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string json = AnalysisJson(TwoDecks(), c.source);
        EXPECT_EQ(json.rfind(c.written, 0), 0u) << json;
    }
}

// Every deck number in the object has its caption beside it.
TEST(AnalysisJsonSource, DeckNumbersStandNextToTheirCaptions) {
    const std::string json = AnalysisJson(TwoDecks(), {"ship.3dl", {"Lower", "Main \"A\", deck"}});
    ExpectHas(json, R"("peak":{"value":2.5,"deck":1,"deckCaption":"Main \"A\", deck","row":3,)");
    ExpectHas(json, R"("congested":[{"deck":0,"deckCaption":"Lower","row":1,"column":2,)"
                    R"("secondsAbove":12.5},{"deck":1,"deckCaption":"Main \"A\", deck","row":3,)");
    // Without captions the pairs stay, with empty captions.
    ExpectHas(AnalysisJson(TwoDecks()), R"("congested":[{"deck":0,"deckCaption":"","row":1,)");
}

// Persons by number - 1; a track cut by the end of the file has no exit time: null.
TEST(AnalysisJsonSource, ExitTimePerPerson) {
    const std::string full = orlex::test::ProjectText({"A"}, 1, {"33S", "3S", "333S", "3S"});
    const std::string movement = full.substr(0, full.find("(movement)") + 10);
    const struct {
        const char* name;
        std::string text;
        const char* times;
    } cases[] = {
        {"complete", full, "[3,2,4,2]"},
        {"cut in the third track", full.substr(0, full.find("333S") + 2), "[3,2,null,null]"},
        {"cut after the third S", full.substr(0, full.find("333S") + 4), "[3,2,4,null]"},
        {"no movement", movement, "[null,null,null,null]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto loaded = orlex::test::LoadText(c.text);
        const auto r = orlex::TEvacuationAnalysis(*loaded.Project, {}).Run();
        ASSERT_TRUE(r);
        ExpectHas(AnalysisJson(*r), std::string("\"exitTimePerPerson\":") + c.times + ",");
    }
    // No persons: an empty list.
    ExpectHas(AnalysisJson(TwoDecks()), R"("exitTimePerPerson":[],"evacuationTime")");
}

}  // namespace
