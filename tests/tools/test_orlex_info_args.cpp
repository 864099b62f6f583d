// orlex-info's command line and JSON text, without running the program: options
// with a space or '=', letters run together, the errors, the help layout, the play
// sequences, and numbers and strings as the JSON has always shown them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "infoprinter.h"
#include "jsontext.h"
#include "optionparser.h"

namespace {

using orlex::info::TOptionParser;

TOptionParser MakeParser() {
    TOptionParser parser;
    parser.Add({{"h", "help"}, "Displays help.", ""});
    parser.Add({{"json"}, "JSON.", ""});
    parser.Add({{"window"}, "Window.", "cells"});
    parser.Add({{"play"}, "Play.", "sequence"});
    return parser;
}

TEST(OrlexInfoArgs, OptionsValuesAndErrors) {
    struct Case {
        std::vector<std::string> Args;  // after the program's name
        bool Ok;
        std::string Error;
        std::string Window;  // the value of --window
        std::vector<std::string> Positional;
        bool Json;
        bool Help;
    };
    const Case cases[] = {
        {{"--window", "3", "a.3dl"}, true, "", "3", {"a.3dl"}, false, false},
        {{"--window=3", "a.3dl"}, true, "", "3", {"a.3dl"}, false, false},
        {{"--window=", "a.3dl"}, true, "", "", {"a.3dl"}, false, false},
        {{"--play=+1,a=b", "a.3dl"}, true, "", "", {"a.3dl"}, false, false},
        {{"--window", "3", "--window=5", "a.3dl"}, true, "", "5", {"a.3dl"}, false, false},
        {{"a.3dl", "--json"}, true, "", "", {"a.3dl"}, true, false},
        {{"--window", "--json"}, true, "", "--json", {}, false, false},  // the next one, whatever
        {{"--", "--json", "-h"}, true, "", "", {"--json", "-h"}, false, false},
        {{"-", "b"}, true, "", "", {"-", "b"}, false, false},
        {{"-h"}, true, "", "", {}, false, true},
        {{"--help", "x"}, true, "", "", {"x"}, false, true},
        {{"--window"}, false, "Missing value after '--window'.", "", {}, false, false},
        {{"--json=1"}, false, "Unexpected value after '--json'.", "", {}, true, false},
        {{"-h=1"}, false, "Unexpected value after '-h'.", "", {}, false, true},
        {{"--bogus", "a"}, false, "Unknown option 'bogus'.", "", {"a"}, false, false},
        {{"--x=1", "--y"}, false, "Unknown options: x, y.", "", {}, false, false},
        {{"-json"}, false, "Unknown options: j, s, o, n.", "", {}, false, false},
        {{"-hx"}, false, "Unknown option 'x'.", "", {}, false, true},
        {{"--bogus", "--window"}, false, "Missing value after '--window'.", "", {}, false, false},
        {{"--=x"}, false, "Unknown option ''.", "", {}, false, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"orlex-info"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        TOptionParser parser = MakeParser();
        const std::string shown = args.size() > 1 ? args[1] : "";
        EXPECT_EQ(parser.Parse(args), c.Ok) << shown;
        EXPECT_EQ(parser.ErrorText(), c.Error) << shown;
        if (!c.Ok) continue;
        EXPECT_EQ(parser.Value("window"), c.Window) << shown;
        EXPECT_EQ(parser.Positional(), c.Positional) << shown;
        EXPECT_EQ(parser.IsSet("json"), c.Json) << shown;
        EXPECT_EQ(parser.IsSet("help"), c.Help) << shown;
        EXPECT_EQ(parser.IsSet("h"), c.Help) << shown;  // either name of the option
    }
}

TEST(OrlexInfoArgs, ParsingAgainForgetsTheLastCommandLine) {
    TOptionParser parser = MakeParser();
    ASSERT_TRUE(parser.Parse({"p", "--json", "--window", "3", "a"}));
    ASSERT_TRUE(parser.Parse({"p", "b"}));
    EXPECT_FALSE(parser.IsSet("json"));
    EXPECT_EQ(parser.Value("window"), "");
    EXPECT_EQ(parser.Positional(), std::vector<std::string>{"b"});
    EXPECT_FALSE(parser.IsSet("unknown"));
}

// The names take the widest one's width plus one; descriptions break at the last
// space before column 79, a word longer than a line is cut at column 79, and a
// name wider than 50 columns goes on over the lines below.
TEST(OrlexInfoArgs, HelpLayout) {
    TOptionParser parser;
    parser.Add({{"v", "version"}, "Shows the version.", ""});
    parser.Add({{"density"},
                "The density above which a window is crowded, in persons/m², for each of the "
                "cells of every deck.",
                "persons/m²"});
    parser.Add({{"x"}, std::string(60, 'w'), ""});
    const std::string expected =
        "Usage: prog [options] file\n"
        "Describes.\n"
        "\n"
        "Options:\n"
        "  -v, --version           Shows the version.\n"
        "  --density <persons/m²>  The density above which a window is crowded, in\n"
        "                          persons/m², for each of the cells of every deck.\n"
        "  -x                      " +
        std::string(53, 'w') + "\n" +  //
        "                          " + std::string(7, 'w') + "\n" +
        "\n"
        "Arguments:\n"
        "  file                    The file.\n";
    EXPECT_EQ(parser.HelpText("prog", "Describes.", "file", "The file."), expected);

    TOptionParser wide;
    wide.Add({{std::string(55, 'n')}, "Long name.", ""});
    const std::string help = wide.HelpText("prog", "", "f", "F.");
    EXPECT_NE(help.find("\n  --" + std::string(48, 'n') + " Long name.\n  nnnnnnn\n"),
              std::string::npos)
        << help;
}

TEST(OrlexInfoArgs, PlaySequences) {
    struct Case {
        const char* Text;
        bool Ok;
        std::string Kinds;  // the items' kinds
        std::vector<int> Counts;
    };
    const Case cases[] = {
        {"+3,-1,f,b,r,t,p,@40", true, "+-fbrtp@", {3, 1, 1, 1, 1, 1, 1, 40}},
        {",,f,,+1,", true, "f+", {1, 1}},
        {" + 3 , f ", true, "+f", {3, 1}},
        {"++3", true, "+", {3}},
        {"@0,-0", true, "@-", {0, 0}},
        {"", true, "", {}},
        {"+2147483647", true, "+", {2147483647}},
        {"x", false, "", {}},
        {"@", false, "", {}},
        {"@-1", false, "", {}},
        {"@1x", false, "", {}},
        {"+1.5", false, "", {}},
        {"+0x10", false, "", {}},
        {"+-3", false, "", {}},
        {"+++3", false, "", {}},
        {"+99999999999", false, "", {}},
        {"+2147483648", false, "", {}},
        {"ff", false, "", {}},
    };
    for (const Case& c : cases) {
        std::vector<orlex::info::TPlayItem> items;
        ASSERT_EQ(orlex::info::ParsePlaySequence(c.Text, items), c.Ok) << c.Text;
        if (!c.Ok) continue;
        std::string kinds;
        std::vector<int> counts;
        for (const auto& item : items) {
            kinds += item.Kind;
            counts.push_back(item.Count);
        }
        EXPECT_EQ(kinds, c.Kinds) << c.Text;
        EXPECT_EQ(counts, c.Counts) << c.Text;
    }
}

TEST(OrlexInfoJson, Numbers) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {3.0, "3"},
        {-1000000.0, "-1000000"},
        {1e15, "1000000000000000"},
        {9007199254740991.0, "9007199254740991"},
        {9.5e15, "9.5e+15"},  // past 2^53: the shorter form
        {1e16, "1e+16"},
        {123456789012345678.0, "123456789012345680"},
        {1e21, "1e+21"},
        {0.5, "0.5"},
        {0.78, "0.78"},
        {0.001, "0.001"},  // as long as 1e-03: decimal
        {0.0001, "1e-04"},
        {-0.0001, "-1e-04"},
        {0.000123, "0.000123"},
        {1.5e-5, "1.5e-05"},
        {1.2345e-7, "1.2345e-07"},
        {2e-308, "2e-308"},
        {static_cast<double>(0.1f), "0.10000000149011612"},
        {1.0 / 3, "0.3333333333333333"},
        {3.4028234663852886e+38, "3.4028234663852886e+38"},
        {std::nan(""), "null"},
        {inf, "null"},
        {-inf, "null"},
    };
    for (const auto& c : cases) EXPECT_EQ(orlex::info::JsonNumber(c.Value), c.Text) << c.Text;
}

TEST(OrlexInfoJson, Document) {
    nlohmann::json root = {{"zeta", 1},
                           {"Alpha", true},
                           {"empty", nlohmann::json::array()},
                           {"none", nlohmann::json::object()},
                           {"null", nullptr},
                           {"list", {1.5, -2, "x"}},
                           {"big", 18446744073709551615ull},
                           {"text", "a\"b\\c/\t\n\r\b\f\x01\x1f\x7f é 案"}};
    root["nested"]["inner"] = nlohmann::json::array({nlohmann::json::object()});
    const std::string expected =
        "{\n"
        "    \"Alpha\": true,\n"
        "    \"big\": 18446744073709552000,\n"
        "    \"empty\": [\n"
        "    ],\n"
        "    \"list\": [\n"
        "        1.5,\n"
        "        -2,\n"
        "        \"x\"\n"
        "    ],\n"
        "    \"nested\": {\n"
        "        \"inner\": [\n"
        "            {\n"
        "            }\n"
        "        ]\n"
        "    },\n"
        "    \"none\": {\n"
        "    },\n"
        "    \"null\": null,\n"
        "    \"text\": \"a\\\"b\\\\c/\\t\\n\\r\\b\\f\\u0001\\u001f\x7f é 案\",\n"
        "    \"zeta\": 1\n"
        "}\n";
    EXPECT_EQ(orlex::info::IndentedJson(root), expected);
}

// A byte that is not part of valid UTF-8 becomes U+FFFD, one for each such byte;
// valid sequences of every length stay as they are.
TEST(OrlexInfoJson, InvalidUtf8) {
    const std::string r = "\xef\xbf\xbd";
    const struct {
        std::string In;
        std::string Out;
    } cases[] = {
        {"Deck \xe9", "Deck " + r},
        {"a\xff\xfe"
         "b",
         "a" + r + r + "b"},
        {"\xc3", r},
        {"\xe2\x80x", r + r + "x"},
        {"\xc0\x80", r + r},                  // overlong
        {"\xed\xa0\x80", r + r + r},          // a surrogate
        {"\xf4\x90\x80\x80", r + r + r + r},  // past U+10FFFF
        {"\xc3\xa9\xe6\xa1\x88\xf0\x9f\x98\x80", "\xc3\xa9\xe6\xa1\x88\xf0\x9f\x98\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orlex::info::ValidUtf8(c.In), c.Out);
        EXPECT_EQ(orlex::info::IndentedJson(c.In), "\"" + c.Out + "\"\n");
    }
}

}  // namespace
