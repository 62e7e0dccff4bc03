#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vemro::bench {

// The fastest a PC could have made the transfer recorded in a vxsim traffic log (written
// with --log-monotonic): every byte takes 10 bit times at the line speed in its direction,
// and the program must make the waits the protocol prescribes.
//
// The log is cut into commands: every ESC from the PC begins one (except the flag byte 27
// of "KM"), and so does a PC line after an answer; the log's lines themselves say nothing
// (a busy simulator delivers one command in pieces or two in one line). In the byte form a
// parameter byte 27 would be taken as a new command. A command costs the longer of its bytes on the
// wire (both ways) and its pause, plus the time the PC must wait after the last byte:
//
//   command                                   pause   after
//   answered by a single ACK or NAK              0       0   ("KS": 1000)
//   query (a "?" among the first three letters) 10       0   decimal reply ended by ";"
//                                               10     200   "?A", "K?E", byte-form reply
//                                               10     500   no answer (reply timeout)
//   "SG", "Kr"                                  10    1000
//   anything else                               10       0
//
// A benchmark may add rules "LETTERS=PAUSE+AFTER" (milliseconds) that win over these for
// commands whose letters after ESC begin with LETTERS.
class TrafficFloor
{
public:
    struct Line
    {
        qint64 us = 0;
        bool fromPc = true;
        QByteArray bytes;
    };
    struct Command
    {
        qint64 us = 0;     // log time of the first line
        qint64 lastUs = 0; // log time of the last line (its answer's, if any)
        QByteArray sent;
        QByteArray answer;
        int firstLineBytes = 0;
    };
    struct Rule
    {
        QByteArray letters;
        int pauseMs = 0;
        int afterMs = 0;
    };
    struct Result
    {
        qint64 sentBytes = 0;
        qint64 answerBytes = 0;
        double floorSeconds = 0;
        double wireSeconds = 0;
        double startSeconds = 0; // when the PC started the first command (log clock)
        double lastSeconds = 0;  // the log's last line
        QStringList waits;       // "3x10+1000 SG" and so on
        int commands = 0;
    };

    // Reads the log text; false with an error text for a line it does not understand.
    [[nodiscard]] bool parse(const QString& text, QString* error);
    [[nodiscard]] static bool parseRules(const QString& text, QList<Rule>* rules, QString* error);
    [[nodiscard]] const QList<Command>& commands() const { return m_commands; }
    [[nodiscard]] Result compute(int baud, const QList<Rule>& rules) const;
    // The pause and after-wait of one command under the standard rules and `rules`.
    [[nodiscard]] static Rule waitFor(const Command& command, const QList<Rule>& rules);

private:
    QList<Command> m_commands;
};

} // namespace vemro::bench
