#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>

class QCommandLineParser;
class QCoreApplication;

// The conventions every command-line tool keeps: --help and --version, and exit status 2 with a
// one-line message on standard error for a bad option value, so a script never runs on a number
// that was silently wrapped or dropped.
namespace CommandLine {

constexpr int UsageError = 2;

// Sets the tool's name and the project version (answered by --version).
void setUp(QCoreApplication& app, const QString& toolName);
QString version();

// Parses the arguments of app and answers --help and --version (both end the program). False,
// after the parser's reason went to standard error, when the arguments do not parse: the tool
// then returns UsageError.
bool parse(QCommandLineParser& parser, const QCoreApplication& app);

// Prints "tool: message" to standard error and returns UsageError.
int usageError(const QString& message);
// A line to standard output or standard error, in the local encoding, flushed.
void printLine(const QString& line);
void printError(const QString& line);

// Reads option `name` as a whole number in [minimum, maximum]. An absent option leaves *value as
// it is and is fine; a value that is not a number or lies outside the range is reported
// ("--pulse: 'abc' is not a whole number from 1 to 100000") and gives false.
bool intOption(const QCommandLineParser& parser, const QString& name, qint64 minimum, qint64 maximum,
               qint64* value);
// The same for a finite decimal number.
bool doubleOption(const QCommandLineParser& parser, const QString& name, double minimum, double maximum,
                  double* value);

} // namespace CommandLine

#endif
