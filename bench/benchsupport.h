#pragma once

#include <QByteArray>
#include <QStringList>

// The common start of the order benchmarks: checks that at least `needed`
// arguments follow the program name (else prints "usage: <program> <usage>"),
// takes argv[1] as the resource folder and keeps debug lines off the output.
// False when the call is wrong.
bool startBench(int argc, char **argv, int needed, const char *usage);

// The non-empty lines of a list file of pictures.
QStringList listedPaths(const QString &listFile);

// Runs the curl tool with these arguments and times it from start to end.
// Seconds, or -1 when it failed (its error output in *error).
double timedCurl(const QStringList &arguments, QByteArray *error);
