// Message boxes. Where no display can show one, or a signal has asked the program to
// end, the text goes to standard error and the default answer is taken, so a headless
// or interrupted run never blocks on a box nobody can see or click.
#pragma once

namespace platform {

enum class MessageIcon { None, Information, Warning, Error };

// Shows text with one OK button and waits until it is dismissed.
void showMessageBox(const char* caption, const char* text, MessageIcon icon);

// Asks a Yes/No question. Returns true for Yes; headless, returns headlessAnswer.
bool askYesNo(const char* caption, const char* text, MessageIcon icon, bool headlessAnswer);

// True when boxes can be shown on a display (a display server is reachable) and no
// SIGINT or SIGTERM has asked the program to end.
bool messageBoxesVisible();

}
