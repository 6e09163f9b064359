// texts.h: every text the user sees, in English and German, and the choice of language.
#pragma once

#include <stddef.h>

#include "game/state.h"

struct TextPairW {
    const wchar_t *english;
    const wchar_t *german;
};

// Sets game.german when the user's default language is German (any sublanguage).
void detectLanguage();

// The language rule on its own: German for every sublanguage of LANG_GERMAN.
bool isGermanLanguage(unsigned short languageId);

const wchar_t *pickTextW(const wchar_t *english, const wchar_t *german);
const wchar_t *pickTextW(const TextPairW &pair);

// Every text the user sees is UTF-16, whatever the system's code page.
// Menu.
extern const TextPairW MenuGame, MenuNewGame, MenuExit, MenuOptions, MenuMute, MenuAbout;
extern const TextPairW MenuHumanOpens, MenuComputerOpens;

// Window title pieces; each suffix begins with two no-break spaces (U+00A0) and a space.
extern const wchar_t TitleBase[];
extern const TextPairW TitleHumanBegins, TitleComputerBegins, TitleMuted;

// Message boxes.
extern const TextPairW CaptionNewGame, TextNewGameQuestion;
extern const wchar_t CaptionEnding[];
extern const TextPairW TextHumanWon, TextComputerWon, TextDraw;
extern const TextPairW CaptionExit, TextExitQuestion;
extern const TextPairW CaptionAbout, TextRules;
extern const wchar_t AboutHeader[];
extern const TextPairW CaptionUninstall, TextUninstallQuestion;
extern const wchar_t CaptionInstall[];
extern const wchar_t InstallHeader[];
extern const TextPairW TextInstallQuestion;

// The board as screen readers read it, 16-bit: "Square 5: Cross" (the word, the number and a colon,
// the mark), and the squares' default action.
extern const TextPairW TextSquare, TextSquareEmpty, TextSquareCross, TextSquareRing, TextPlay;

// The name of square n (1..9) holding cell, in the chosen language, cut to fit size characters.
void composeSquareName(wchar_t *out, size_t size, int square, Cell cell);

// What the board's live text says: after a Cross, after a Ring, after a refused move.
enum Spoken { SaidCross, SaidRing, SaidTaken };

// The announcement of what happened on square n (1..9), in the chosen language, cut to fit size characters.
void composeAnnouncement(wchar_t *out, size_t size, Spoken what, int square);

// Texts outside the window, 8-bit ASCII, the same in both languages.
extern const char ShortcutDescription[];
extern const char DisplayName[];
extern const char DisplayVersion[];
extern const char Publisher[];
extern const char ProductPage[];
