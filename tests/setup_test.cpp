// setup_test.cpp: the command line, the run modes and the texts of an installation.
#include <gtest/gtest.h>

#include <string>

#include "setup/cmdline.h"
#include "setup/locations.h"

namespace {

std::string argument(const char *commandLine, int index)
{
    char out[600];
    commandLineArgument(commandLine, index, out, sizeof out);
    return out;
}

TEST(CommandLine, WordsQuotesAndBlanks)
{
    const char *registered = "\"C:\\Program Files (x86)\\Orvane\\nxl\\nxl.exe\" /Uninstall /Quiet";
    const struct { const char *line; int index; const char *expected; } cases[] = {
        {registered, 1, "/Uninstall"}, {registered, 2, "/Quiet"}, {registered, 3, ""},
        {"nxl.exe", 1, ""}, {"", 1, ""},
        {"nxl.exe \t\x01\x1F  a   b", 2, "b"},   // runs of blanks, tabs and control characters separate once
        // A quote switches quoting and is dropped; blanks inside quotes belong to the word.
        {"nxl \"a b\"c d", 1, "a bc"}, {"nxl \"a b\"c d", 2, "d"},
        // Two quotes in a row are dropped without switching: inside and outside quotes.
        {"nxl a\"\"b c", 1, "ab"}, {"nxl \"a\"\" b\" c", 1, "a b"}, {"nxl \"\" x", 2, "x"},
        {"nxl \"a b", 1, "a b"},                 // an unclosed quote runs to the end
        {"nxl \xFC\xA0x y", 1, "\xFC\xA0x"},     // bytes beyond ASCII are ordinary characters
        // The two switches without a blank are one argument.
        {"nxl.exe /Uninstall/Quiet", 1, "/Uninstall/Quiet"}, {"nxl.exe /Uninstall/Quiet", 2, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(argument(c.line, c.index), c.expected) << c.line << " #" << c.index;
}

TEST(CommandLine, LongArgumentsAreMeasuredWholeAndCutSafely)
{
    std::string line = "nxl ";
    line += std::string(5000, 'a') + "Uninstall b";
    char small[8];
    EXPECT_EQ(commandLineArgument(line.c_str(), 1, small, sizeof small), 5009u);
    EXPECT_EQ(std::string(small), "aaaaaaa");
    std::string whole(line.size() + 1, '\0');
    commandLineArgument(line.c_str(), 1, &whole[0], whole.size());
    EXPECT_NE(containsNoCase(whole.c_str(), "uninstall"), nullptr);
    EXPECT_EQ(commandLineArgument(line.c_str(), 2, small, sizeof small), 1u);
}

TEST(ContainsNoCase, AsciiLettersFoldAndNothingElse)
{
    const char *text = "C:\\TEMP\\SETUP.EXE";
    EXPECT_EQ(containsNoCase(text, "setup.exe"), text + 8);
    EXPECT_EQ(containsNoCase("\xDC", "\xFC"), nullptr);            // Windows-1252 u-umlaut against U-umlaut
    EXPECT_EQ(containsNoCase("ab", "abc"), nullptr);
    const char *empty = "";
    EXPECT_EQ(containsNoCase(empty, ""), empty);
    EXPECT_EQ(containsNoCase(text, ""), text + strlen(text));
    EXPECT_EQ(containsNoCase("aXbxd", "XC"), nullptr);
    EXPECT_EQ(containsNoCase("@", "`"), nullptr);                  // 0x60 is not folded onto 0x40
}

TEST(RunMode, TheFirstMatchingRowDecides)
{
    const struct { const char *path, *one, *two; bool restarted; RunMode mode; bool quiet; } cases[] = {
        {"C:\\Program Files (x86)\\Orvane\\nxl\\nxl.exe", "", "", false, RunGame, false},
        {"C:\\x\\nxl.exe", "/Uninstall", "/Quiet", false, RunUninstall, true},
        {"C:\\x\\nxl.exe", "/Uninstall", "", false, RunUninstall, false},
        {"C:\\x\\nxl.exe", "/Uninstall/Quiet", "", false, RunUninstall, false},
        {"C:\\x\\nxl.exe", "/Quiet", "/Uninstall", false, RunGame, false},
        {"C:\\x\\nxl.exe", "-uninstall", "", false, RunUninstall, false},
        {"C:\\x\\nxl.exe", "/uninstaller", "quiet", false, RunUninstall, true},
        {"C:\\x\\Setup.exe", "/Uninstall", "", false, RunUninstall, false},
        {"C:\\x\\setup.EXE", "", "", false, RunInstall, false},
        {"C:\\x\\MySetup.exe", "", "", false, RunInstall, false},
        {"C:\\Setup.exe\\nxl.exe", "", "", false, RunInstall, false},
        {"C:\\x\\Setup.exe", "/S", "", false, RunInstall, true},
        {"C:\\x\\Setup.exe", "-s", "", false, RunInstall, true},
        {"C:\\x\\Setup.exe", "/silent", "", false, RunInstall, true},
        {"C:\\x\\Setup.exe", "/Quiet", "", false, RunInstall, false},
        {"C:\\x\\Setup.exe", "", "/S", false, RunInstall, false},
        // A browser's repeated download, with or without its blank.
        {"C:\\Downloads\\NoxelSetup (1).exe", "", "", false, RunInstall, false},
        {"C:\\Downloads\\Setup (12).EXE", "/S", "", false, RunInstall, true},
        {"C:\\Downloads\\setup(3).exe", "", "", false, RunInstall, false},
        {"C:\\Setup (1)\\Setup (x).exe", "", "", false, RunGame, false},
        {"C:\\x\\Setup ().exe", "", "", false, RunGame, false},
        {"C:\\x\\Setup  (1).exe", "", "", false, RunGame, false},
        {"C:\\x\\Setup (1) .exe", "", "", false, RunGame, false},
        {"C:\\x\\Setup (1).exe.txt", "", "", false, RunInstall, false},   // as "Setup.exe.txt" does
        // A restart asks nothing: its user answered in the run that started it.
        {"C:\\x\\Setup.exe", "", "", true, RunInstall, true},
        {"C:\\x\\nxl.exe", "/Uninstall", "", true, RunUninstall, true},
        {"C:\\x\\nxl.exe", "", "", true, RunGame, false},
    };
    for (const auto &c : cases) {
        bool quiet = !c.quiet;
        EXPECT_EQ(decideRunMode(c.path, c.one, c.two, c.restarted, &quiet), c.mode) << c.path << " " << c.one;
        EXPECT_EQ(quiet, c.quiet) << c.path << " " << c.one << " " << c.two << " " << c.restarted;
    }
}

TEST(RunMode, ARestartKeepsBothArgumentsAndCarriesItsMark)
{
    char line[128];
    ASSERT_TRUE(restartArguments("/Uninstall", "/Quiet", 4294967295ul, line, sizeof line));
    EXPECT_STREQ(line, "\"/Uninstall\" \"/Quiet\" /Restarted:4294967295");
    ASSERT_TRUE(restartArguments("", "", 0, line, sizeof line));
    EXPECT_STREQ(line, "\"\" \"\" /Restarted:0");
    // The restarted program splits its command line with the program in front: an empty argument 1
    // stays argument 1, and the mark is argument 3.
    const std::string restarted = std::string("\"C:\\a b\\Setup.exe\" ") + line;
    EXPECT_EQ(argument(restarted.c_str(), 1), "");
    EXPECT_TRUE(isRestartMark(argument(restarted.c_str(), 3).c_str()));
    char tight[12];
    EXPECT_FALSE(restartArguments("/S", "", 7, tight, sizeof tight));
    EXPECT_STREQ(tight, "");

    for (const char *notAMark : {"", "/Restarted:", "/Restarted:12x", "/Restarted:99999999999", "/Restart:1",
                                 "x/Restarted:1", "/Restarted:-1"})
        EXPECT_FALSE(isRestartMark(notAMark)) << notAMark;
    EXPECT_TRUE(isRestartMark("/restarted:0042"));
}

std::string workingDirectory(const char *given, const char *target)
{
    char out[PathCapacity];
    shortcutWorkingDirectory(given, target, out, sizeof out);
    return out;
}

TEST(Shortcut, WorkingDirectoryRule)
{
    EXPECT_EQ(workingDirectory("", "C:\\Program Files (x86)\\Orvane\\nxl\\nxl.exe"),
              "C:\\Program Files (x86)\\Orvane\\nxl");
    EXPECT_EQ(workingDirectory(nullptr, "nxl.exe"), "nxl.exe");
    EXPECT_EQ(workingDirectory("", "\\nxl.exe"), "\\nxl.exe");       // a backslash only in first place
    EXPECT_EQ(workingDirectory("", "a\\b"), "a");
    EXPECT_EQ(workingDirectory("\"C:\\x\"", "t"), "C:\\x\"");        // a leading quote goes, a closing one stays
    EXPECT_EQ(workingDirectory("C:\\y", "C:\\x\\t.exe"), "C:\\y");
    EXPECT_EQ(workingDirectory("\"", "\"C:\\x\\t.exe"), "\"C:\\x");  // taken from the target: no quote removed
}

TEST(SetupTexts, RemovalCommandAndUninstallStrings)
{
    char out[RemovalCommandCapacity];
    // The longest vendor folders fit, within what cmd takes (the setup driver runs the command).
    const std::string longest(PathCapacity - 1, 'x');
    ASSERT_TRUE(removalCommand(longest.c_str(), longest.c_str(), out, sizeof out));
    EXPECT_LT(strlen(out), 8191u);
    char tight[20];
    EXPECT_FALSE(removalCommand("a", "b", tight, 20));
    EXPECT_EQ(tight[0], '\0');

    ASSERT_TRUE(uninstallCommand("C:\\Program Files (x86)\\Orvane\\nxl\\nxl.exe", true, out, sizeof out));
    EXPECT_EQ(std::string(out), "\"C:\\Program Files (x86)\\Orvane\\nxl\\nxl.exe\" /Uninstall /Quiet");
    // The registered command reaches the uninstall mode through our own splitting of the command line.
    char one[64], two[64];
    commandLineArgument(out, 1, one, sizeof one);
    commandLineArgument(out, 2, two, sizeof two);
    bool quiet = false;
    EXPECT_EQ(decideRunMode("C:\\Program Files (x86)\\Orvane\\nxl\\nxl.exe", one, two, false, &quiet), RunUninstall);
    EXPECT_TRUE(quiet);

    char path[PathCapacity] = "C:\\a";
    EXPECT_TRUE(appendPath(path, sizeof path, "\\nxl"));
    EXPECT_EQ(std::string(path), "C:\\a\\nxl");
    char small[8] = "C:\\a";
    EXPECT_FALSE(appendPath(small, sizeof small, "\\nxl"));
    EXPECT_EQ(std::string(small), "C:\\a");
}

}  // namespace
