#pragma once

#include <QString>
#include <QStringList>

// Start-up of the client, called by main once the QApplication exists.

// Value of a one-letter option at argv[index]: glued ("-Lde") or the next
// argument, which advances index. nullptr when the option is the last
// argument; never reads past argc.
const char *optionValue(int &index, int argc, char **argv);

// Reads the options at the front of the command line: -L sets language
// (lower-cased), -R the resource folder. Returns the remaining arguments, the
// list files. An unknown option prints the usage and ends the process with
// status 0.
QStringList scanOptions(int argc, char **argv, QString &language);

// Installs the translator for Qt's own texts and the dealer's one; an empty
// language takes the dealer's qtlanguage setting.
void loadTranslators(const QString &language);

// Reads the options, installs the translators, shows the main window, hands
// the list files to the order, removes the optimised copies an earlier run
// left and runs the event loop; SIGTERM, SIGINT and SIGHUP quit it.
int startClient(int argc, char **argv);

// A quit signal ends the program as the wizard's Cancel does (the running
// step stops, an open session ends briefly), then the event loop, after which
// the run's optimised copies go.
void quitOnSignal(int signal);
