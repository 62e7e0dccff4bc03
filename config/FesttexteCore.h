#pragma once

#include "config/FesttextTable.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vemro {

class DataEnvironment;
class clsVX;

// The fixed texts as one subsystem: table Festtexte of the open project on one side, the
// terminal's EEPROM (through clsVX) and the text files on the other. The page, vemro-cli
// and the production test call these operations; each returns success and an error text.
class FesttexteCore
{
public:
    FesttexteCore(clsVX& vx, DataEnvironment& env) : m_vx(vx), m_table(env) {}

    [[nodiscard]] FesttextTable& table() { return m_table; }

    // "vom Terminal lesen": asks, then stores every text the terminal has under its own
    // number (as notation in `text` and `TextRTF`); rows it has no text for stay. The texts
    // are stored in one transaction after the whole read: a declined, broken-off or
    // unanswered read changes no row. `read` receives the number of texts stored.
    bool readFromTerminal(QString* error = nullptr, int* read = nullptr);
    // "an Terminal senden": every row of the table, with the writer the version calls for.
    bool writeToTerminal(std::optional<bool> filterLinebreaks = std::nullopt,
                         QString* error = nullptr);

    // Import of a file's content: our "VX Festtextdateien" keep their numbers; an
    // older-family file ("RK Festtextdateien", `rows` lines per text, `cols` characters a
    // line) is numbered from `start` on, up to 127. All texts are stored in one
    // transaction or none. `count` receives the number stored.
    bool importContent(const QByteArray& content, int start, int rows, int cols,
                       int* count = nullptr, QString* error = nullptr);
    bool importFile(const QString& path, int start, int rows, int cols, int* count = nullptr,
                    QString* error = nullptr);
    // Export of every row as "VX Festtextdatei".
    [[nodiscard]] bool exportContent(QByteArray& content, int* count = nullptr,
                                     QString* error = nullptr);
    bool exportFile(const QString& path, int* count = nullptr, QString* error = nullptr);

private:
    clsVX& m_vx;
    FesttextTable m_table;
};

} // namespace vemro
