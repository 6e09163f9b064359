// box_texts.h: every message box's caption, text, icon and style in English and German, for tests and drivers.
#pragma once

#include <string>

enum BoxName { BoxHumanWon, BoxComputerWon, BoxDraw, BoxNewGame, BoxExit, BoxAbout, BoxUninstall, BoxInstall,
               BoxCount };

struct ExpectedBox {
    const wchar_t *caption[2];   // English, German
    const wchar_t *text[2];
    const wchar_t *icon;
    unsigned style;
};

#define NOXEL_ABOUT_HEADER L"Noxel \x2013 v1.0.0.0\r\xA9 2026 Ilvo Orvane\r" \
    L"\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014" \
    L"\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\x2014\r"

inline const ExpectedBox ExpectedBoxes[BoxCount] = {
    {{L"Noxel", L"Noxel"}, {L"Bravo, you've won!", L"Bravo, du hast gewonnen!"}, L"i", 0x80},
    {{L"Noxel", L"Noxel"}, {L"The computer has won!!!", L"Der Computer hat gewonnen!!!"}, L"i", 0x80},
    {{L"Noxel", L"Noxel"}, {L"It's a draw!", L"Unentschieden!"}, L"i", 0x80},
    {{L"New Game", L"Neues Spiel"},
     {L"New Game:\rAbort the current game?", L"Neues Spiel:\rLaufendes Spiel abbrechen?"}, L"I", 0x183},
    {{L"Exit Noxel", L"Noxel beenden"},
     {L"Exit Noxel:\rAbort the current game?", L"Noxel beenden:\rLaufendes Spiel abbrechen?"}, L"I", 0x183},
    {{L"AboutNoxel", L"\xDC" L"ber Noxel"},
     {NOXEL_ABOUT_HEADER
      L"\rR U L E S   O F   T H E   G A M E\r\r"
      L"Noxel (USA), also called Naughts and Crosses (UK), is a classic game. You and the computer take "
      L"turns placing your marks. The first to get three in a row wins.\r\r"
      L"You can choose a square using keys [1]..[9] or by clicking with the mouse.",
      NOXEL_ABOUT_HEADER
      L"\rS P I E L R E G E L N\r\r"
      L"\xBBNoxel\xAB in den USA, \xBBNaughts and Crosses\xAB in GB ist ein klassisches Spiel. "
      L"Abwechselnd setzen Mensch und Computer ihre Spielsteine. Gewinner ist, wer zuerst drei Steine in "
      L"einer Reihe hat.\r\r"
      L"Die Spielsteine k\xF6nnen mit der Tastatur [1]..[9] oder mit der Maus gesetzt werden."},
     L"I", 0x80},
    {{L"Uninstall", L"Deinstallation"}, {L"Remove Noxel\rfrom this computer?", L"Noxel\rvon diesem Computer entfernen?"},
     L"i", 0x183},
    {{L"Installation", L"Installation"},
     {L"Noxel\xA0v1.0.0.0\rInstall for all users?", L"Noxel\xA0v1.0.0.0\rF\xFCr alle Benutzer installieren?"}, L"i",
     0x83},
};

#undef NOXEL_ABOUT_HEADER

// "caption|text" of a box as expected, as a driver reads a box (driver::Box::shown).
inline std::wstring expectedBox(BoxName name, bool german = false)
{
    return std::wstring(ExpectedBoxes[name].caption[german]) + L"|" + ExpectedBoxes[name].text[german];
}
