#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace vemro {

class DataEnvironment;
class clsVX;

// One compared item that is not the same: what the project has, what the terminal has.
struct VerifyDifference
{
    QString item; // "Festtext 5", "Taste 12", "Zeichen 3 Zeile 2", "Parameterform"
    QString projekt;
    QString terminal;
};

// One area of the comparison.
struct VerifyArea
{
    enum class State { Equal, Different, Reported, NotReadable };
    QString key;  // the name for --only: "mode", "texts", "keys" ...
    QString name; // the German caption: "Terminalmodus", "Festtexte" ...
    State state = State::Equal;
    QString note; // Reported / NotReadable: what is known
    QList<VerifyDifference> differences;

    // "gleich", "verschieden", or the note with "(nicht verglichen)".
    [[nodiscard]] QString stateText() const;
};

struct VerifyResult
{
    QList<VerifyArea> areas;
    // Every compared area is equal.
    [[nodiscard]] bool equal() const;
    // One line per area and one indented line per difference.
    [[nodiscard]] QStringList lines() const;
    // The indented difference lines alone.
    [[nodiscard]] QStringList differenceLines() const;
};

struct TerminalSettingsData;

// Does this terminal hold this project? Reads everything a project write writes, through the
// subsystems' own reads ("vom Terminal lesen"), into memory and compares it area by area
// with the open project. Neither the project nor the terminal object is changed: what the
// reads take into the terminal object and its keyboard object is put back afterwards.
//
// Compared as the terminal keeps them: fixed texts as their EEPROM bytes found through the
// address table (CR LF and CR both accepted, as the two writers store them); key codes as
// the bytes the keyboard holds (so "ä" and "#4" are the same code); the answer channel only
// as "seriell" or not (the mode byte has no bit for CAN); the backlight as on or off. A key
// whose project row has an empty code is not written and not compared. The fixed-text port
// cannot be read back, the serial number is reported, the firmware version is checked
// against the project's minimum (QMTests, CheckVersion).
class ProjectVerifyCore
{
public:
    // The areas in the order they are read and printed.
    [[nodiscard]] static QStringList areaKeys();

    ProjectVerifyCore(clsVX& vx, DataEnvironment& env);

    // The settings areas among `keys` ("mode", "display", "backlight", "contrast") compared
    // as verify() compares them, for a write that read its values back.
    [[nodiscard]] static VerifyResult compareSettings(const QStringList& keys,
                                                      const TerminalSettingsData& projekt,
                                                      const TerminalSettingsData& terminal);

    // Only these areas (keys of areaKeys()); empty = all. False with the unknown key named.
    bool setOnly(const QStringList& keys, QString* error = nullptr);
    // Told before each read begins (German caption of the area), for a status line.
    void setAreaStarted(std::function<void(const QString&)> started)
    {
        m_areaStarted = std::move(started);
    }

    // Reads and compares. False when the project cannot be read or the terminal did not
    // answer a read completely: `error` says why and `result` stays empty.
    bool verify(VerifyResult& result, QString* error = nullptr);

private:
    [[nodiscard]] bool wanted(const QString& key) const;
    void started(const QString& name) const;

    QPointer<clsVX> m_vx;
    DataEnvironment& m_env;
    QStringList m_only;
    std::function<void(const QString&)> m_areaStarted;
};

} // namespace vemro
