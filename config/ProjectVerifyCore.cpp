#include "config/ProjectVerifyCore.h"

#include "config/FesttextTable.h"
#include "config/KeyboardSettings.h"
#include "config/TerminalSettingsCore.h"
#include "config/UserCharacters.h"
#include "link/FesttextLayout.h"
#include "link/KeyCodeNotation.h"
#include "link/Notation.h"
#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"

#include <QHash>
#include <QSignalBlocker>
#include <QSqlQuery>

#include <map>
#include <optional>

namespace vemro {

namespace {

const QString kMode = QStringLiteral("mode");
const QString kDisplay = QStringLiteral("display");
const QString kBacklight = QStringLiteral("backlight");
const QString kContrast = QStringLiteral("contrast");
const QString kTextPort = QStringLiteral("textport");
const QString kInterface = QStringLiteral("interface");
const QString kTexts = QStringLiteral("texts");
const QString kChars = QStringLiteral("chars");
const QString kKeyConfig = QStringLiteral("keyconfig");
const QString kKeys = QStringLiteral("keys");
const QString kSerNr = QStringLiteral("sernr");
const QString kFirmware = QStringLiteral("firmware");

QString caption(const QString& key)
{
    static const QHash<QString, QString> names{
        {kMode, QStringLiteral("Terminalmodus")},
        {kDisplay, QStringLiteral("Displaygeometrie")},
        {kBacklight, QStringLiteral("Beleuchtung")},
        {kContrast, QStringLiteral("Kontrast")},
        {kTextPort, QStringLiteral("Festtextport")},
        {kInterface, QStringLiteral("Schnittstelle")},
        {kTexts, QStringLiteral("Festtexte")},
        {kChars, QStringLiteral("Userzeichen")},
        {kKeyConfig, QStringLiteral("Tastaturkonfiguration")},
        {kKeys, QStringLiteral("Tastencodes")},
        {kSerNr, QStringLiteral("Seriennummer")},
        {kFirmware, QStringLiteral("Firmwareversion")}};
    return names.value(key);
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// The fixed-text read asks whether the project's texts may be overwritten; reading into
// memory overwrites nothing, so the answer is yes. Everything else goes to the real one.
class ReadIntoMemoryUi : public UserInterface
{
public:
    ReadIntoMemoryUi() : m_outer(ui()) { setUi(this); }
    ~ReadIntoMemoryUi() override { setUi(&m_outer); }
    ReadIntoMemoryUi(const ReadIntoMemoryUi&) = delete;
    ReadIntoMemoryUi& operator=(const ReadIntoMemoryUi&) = delete;

    void message(const QString& text, const QString& title) override
    {
        m_outer.message(text, title);
    }
    Answer ask(const QString&, Buttons buttons, const QString&, std::optional<Answer>) override
    {
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override
    {
        return m_outer.input(prompt, title, defaultText);
    }
    QString openFileName(const QString& c, const QString& f, const QString& x) override
    {
        return m_outer.openFileName(c, f, x);
    }
    QString saveFileName(const QString& c, const QString& f, const QString& x) override
    {
        return m_outer.saveFileName(c, f, x);
    }
    void setBusy(bool busy) override { m_outer.setBusy(busy); }
    bool openDocument(const QString& path) override { return m_outer.openDocument(path); }

private:
    UserInterface& m_outer;
};

// A text for a difference line: the notation, cut after 60 characters.
QString shown(const QByteArray& bytes)
{
    const QString text = AnsiToString(SteuerzeichenToText(bytes));
    return QLatin1Char('"') + (text.size() > 60 ? text.left(57) + QStringLiteral("...") : text) +
           QLatin1Char('"');
}

QString onOff(bool on)
{
    return on ? QStringLiteral("ein") : QStringLiteral("aus");
}

void compare(VerifyArea& area, const QString& item, const QString& projekt, const QString& terminal)
{
    if (projekt != terminal) {
        area.state = VerifyArea::State::Different;
        area.differences.append({item, projekt, terminal});
    }
}

// The byte a key code read back stands for (the inverse of FromKeyByte, no code page).
std::optional<uchar> readKeyByte(const QString& notation)
{
    const QByteArray n = StringToAnsi(notation);
    if (n.size() == 1)
        return static_cast<uchar>(n.at(0));
    bool ok = false;
    int v = -1;
    if (n.startsWith('#'))
        v = 128 + n.mid(1).toInt(&ok);
    else if (n.startsWith('$'))
        v = n.mid(1).toInt(&ok, 16);
    if (!ok || v < 0 || v > 255)
        return std::nullopt;
    return static_cast<uchar>(v);
}

QString keyShown(const QString& notation, const std::optional<uchar>& byte)
{
    if (!byte)
        return notation;
    return QStringLiteral("%1 ($%2)")
        .arg(notation, QStringLiteral("%1").arg(*byte, 2, 16, QLatin1Char('0')).toUpper());
}

// The speed at the start of a settings text ("19200,N,8,1").
QString speedOf(const QString& settings)
{
    return settings.section(QLatin1Char(','), 0, 0).trimmed();
}

} // namespace

QString VerifyArea::stateText() const
{
    switch (state) {
    case State::Equal:
        return QStringLiteral("gleich");
    case State::Different:
        return QStringLiteral("verschieden");
    case State::Reported:
    case State::NotReadable:
        break;
    }
    return note + QStringLiteral(" (nicht verglichen)");
}

bool VerifyResult::equal() const
{
    for (const VerifyArea& a : areas)
        if (a.state == VerifyArea::State::Different)
            return false;
    return true;
}

QStringList VerifyResult::lines() const
{
    QStringList out;
    for (const VerifyArea& a : areas) {
        out << a.name + QStringLiteral(": ") + a.stateText();
        for (const VerifyDifference& d : a.differences)
            out << QStringLiteral("  %1: Projekt %2, Terminal %3")
                       .arg(d.item, d.projekt, d.terminal);
    }
    return out;
}

QStringList VerifyResult::differenceLines() const
{
    QStringList out = lines();
    out.removeIf([](const QString& line) { return !line.startsWith(QLatin1Char(' ')); });
    return out;
}

QStringList ProjectVerifyCore::areaKeys()
{
    return {kMode,  kDisplay, kBacklight, kContrast, kTextPort, kInterface,
            kTexts, kChars,   kKeyConfig, kKeys,     kSerNr,    kFirmware};
}

VerifyResult ProjectVerifyCore::compareSettings(const QStringList& keys,
                                                const TerminalSettingsData& projekt,
                                                const TerminalSettingsData& terminal)
{
    VerifyResult result;
    const auto area = [&](const QString& key) -> VerifyArea* {
        if (!keys.contains(key))
            return nullptr;
        result.areas.append(VerifyArea{key, caption(key), VerifyArea::State::Equal, {}, {}});
        return &result.areas.last();
    };
    if (VerifyArea* a = area(kMode)) {
        compare(*a, QStringLiteral("Parameterform"),
                projekt.ParameterMode == 0 ? QStringLiteral("Byte") : QStringLiteral("Dezimal"),
                terminal.ParameterMode == 0 ? QStringLiteral("Byte") : QStringLiteral("Dezimal"));
        compare(*a, QStringLiteral("Terminalantwort seriell"), onOff(projekt.SendMode == 2),
                onOff(terminal.SendMode == 2));
        compare(*a, QStringLiteral("Tastatur"), onOff(projekt.Tastaturenabled),
                onOff(terminal.Tastaturenabled));
        compare(*a, QStringLiteral("IO-Ports"), onOff(projekt.IOPortsEnabled),
                onOff(terminal.IOPortsEnabled));
        compare(*a, QStringLiteral("Einschaltmeldung"), onOff(projekt.Einschaltmeldung),
                onOff(terminal.Einschaltmeldung));
        compare(*a, QStringLiteral("Festtextmodus"), onOff(projekt.Festtextmode),
                onOff(terminal.Festtextmode));
    }
    if (VerifyArea* a = area(kDisplay))
        compare(*a, QStringLiteral("Anzeige"),
                TerminalSettingsCore::displayTypeText(projekt.Cols, projekt.Rows),
                TerminalSettingsCore::displayTypeText(terminal.Cols, terminal.Rows));
    if (VerifyArea* a = area(kBacklight))
        compare(*a, caption(kBacklight), onOff(projekt.Backlight > 0),
                onOff(terminal.Backlight > 0));
    if (VerifyArea* a = area(kContrast))
        compare(*a, caption(kContrast), QString::number(projekt.Kontrast),
                QString::number(terminal.Kontrast));
    return result;
}

ProjectVerifyCore::ProjectVerifyCore(clsVX& vx, DataEnvironment& env) : m_vx(&vx), m_env(env) {}

bool ProjectVerifyCore::setOnly(const QStringList& keys, QString* error)
{
    QStringList only;
    for (const QString& raw : keys) {
        const QString key = raw.trimmed().toLower();
        if (key.isEmpty())
            continue;
        if (!areaKeys().contains(key))
            return fail(error, QStringLiteral("unbekannter Bereich : %1 (möglich: %2)")
                                   .arg(raw, areaKeys().join(QLatin1Char(','))));
        only << key;
    }
    m_only = only;
    return true;
}

bool ProjectVerifyCore::wanted(const QString& key) const
{
    return m_only.isEmpty() || m_only.contains(key);
}

void ProjectVerifyCore::started(const QString& name) const
{
    if (m_areaStarted)
        m_areaStarted(name);
}

bool ProjectVerifyCore::verify(VerifyResult& result, QString* error)
{
    result = VerifyResult{};
    if (!m_vx)
        return fail(error, QStringLiteral("kein Terminalobjekt"));
    clsVX& vx = *m_vx;
    if (!m_env.isOpen(DataEnvironment::kProjekt))
        return fail(error, QStringLiteral("kein Projekt geöffnet"));

    // ---- The project, all of it first: a project that cannot be read sends nothing.
    TerminalSettingsCore settings(vx, m_env);
    TerminalSettingsData projekt;
    if (!settings.loadFromProject(projekt, error))
        return false;
    QString comsettings;
    {
        Recordset& rs = m_env.recordset(QStringLiteral("cmdTerminaleinstellung"));
        rs.moveFirst();
        if (!rs.eof())
            comsettings = rs.value(QStringLiteral("Comsettings")).toString();
    }
    FesttextRows textRows;
    if (wanted(kTexts) && !FesttextTable(m_env).rows(textRows, error))
        return false;
    UserCharacters chars(vx, m_env);
    KeyboardSettings keys(vx, m_env);
    UserCharSet projektChars;
    if (wanted(kChars) && !chars.loadFromProject(projektChars, error))
        return false;
    clsVXKeyboard& keyboard = *vx.Keyboard();
    const KeyboardConfig keyboardBefore = KeyboardSettings::fromKeyboard(keyboard);
    KeyboardConfig projektKeyboard;
    if (wanted(kKeyConfig)) {
        const bool loaded = keys.loadConfig(error);
        projektKeyboard = KeyboardSettings::fromKeyboard(keyboard);
        KeyboardSettings::toKeyboard(keyboardBefore, keyboard);
        if (!loaded)
            return false;
    }
    KeyCodeTable projektKeys;
    if (wanted(kKeys) && !keys.loadCodesFromProject(projektKeys, error))
        return false;
    std::optional<double> minimum;
    if (wanted(kFirmware)) {
        QSqlQuery q(m_env.database(DataEnvironment::kProjekt));
        if (q.exec(QStringLiteral("SELECT MAX(Min) FROM QMTests WHERE "
                                  "lower(Prozedurname) = 'checkversion'")) &&
            q.next() && !q.value(0).isNull())
            minimum = q.value(0).toDouble();
    }

    // ---- The terminal: the mode first, so every later read speaks the terminal's form.
    // Whatever the reads take into the terminal object goes back at the end.
    const TerminalSettingsData objectBefore = settings.terminalObject();
    const QString serBefore = vx.SerNr;
    const auto putBack = [&] {
        settings.takeIntoTerminalObject(objectBefore);
        vx.SerNr = serBefore;
        KeyboardSettings::toKeyboard(keyboardBefore, keyboard);
    };
    const auto broken = [&](const QString& why) {
        putBack();
        QString text = why.isEmpty() ? QStringLiteral("Terminal antwortet nicht") : why;
        return fail(error, text);
    };
    QString why;
    TerminalSettingsData terminal;
    started(QStringLiteral("Terminalmodus, Display"));
    if (!settings.readFromTerminal(terminal, &why))
        return broken(why);
    std::map<int, QByteArray> terminalTexts;
    if (wanted(kTexts)) {
        started(caption(kTexts));
        ReadIntoMemoryUi answers;
        // The read's signals are for the editor of the texts (drop its unsaved-change
        // mark, show the number read): this read must leave the editor alone.
        const QSignalBlocker quiet(&vx);
        const bool read = vx.GetFesttexte([&terminalTexts](int n, const QByteArray& raw) {
            terminalTexts[n] = raw;
            return true;
        });
        if (!read)
            return broken(QStringLiteral("Festtexte nicht gelesen"));
    }
    UserCharSet terminalChars;
    if (wanted(kChars)) {
        started(caption(kChars));
        if (!chars.readFromTerminal(terminalChars, &why))
            return broken(why);
    }
    KeyboardConfig terminalKeyboard;
    if (wanted(kKeyConfig)) {
        started(caption(kKeyConfig));
        if (!keys.readConfig(&why))
            return broken(why);
        terminalKeyboard = KeyboardSettings::fromKeyboard(keyboard);
    }
    KeyCodeTable terminalKeys;
    if (wanted(kKeys)) {
        started(caption(kKeys));
        if (!keys.readCodes(terminalKeys, &why))
            return broken(why);
    }
    const QString portSettings = vx.ctlcom() ? vx.ctlcom()->Settings() : QString();
    putBack();

    // ---- The comparison, area by area.
    const auto area = [&](const QString& key) -> VerifyArea* {
        if (!wanted(key))
            return nullptr;
        result.areas.append(VerifyArea{key, caption(key), VerifyArea::State::Equal, {}, {}});
        return &result.areas.last();
    };
    const QStringList settingsKeys{kMode, kDisplay, kBacklight, kContrast};
    for (const QString& key : settingsKeys) {
        if (wanted(key))
            result.areas.append(compareSettings({key}, projekt, terminal).areas);
    }
    if (VerifyArea* a = area(kTextPort)) {
        a->state = VerifyArea::State::NotReadable;
        a->note = QStringLiteral("Projekt %1, vom Terminal nicht lesbar").arg(projekt.FesttextPort);
    }
    if (VerifyArea* a = area(kInterface)) {
        if (vx.ComMode == ComMode::Network) {
            a->state = VerifyArea::State::NotReadable;
            a->note = QStringLiteral("über das Netzwerkmodul nicht prüfbar");
        } else {
            // The terminal answered at the PC's speed, so that is the speed it listens at.
            compare(*a, QStringLiteral("Geschwindigkeit"), speedOf(comsettings),
                    speedOf(portSettings));
        }
    }
    VerifyArea* texts = area(kTexts);
    if (VerifyArea* a = texts) {
        FesttextLayout withLF;
        FesttextLayout withCR;
        QString layoutError;
        if (!LayoutFesttexte(textRows, false, withLF, &layoutError) ||
            !LayoutFesttexte(textRows, true, withCR, nullptr)) {
            a->state = VerifyArea::State::Different;
            a->differences.append(
                {QStringLiteral("Projekt"), layoutError, QStringLiteral("(nicht verglichen)")});
        } else {
            std::map<int, std::pair<QByteArray, QByteArray>> expected;
            for (int i = 0; i < withLF.numbers.size(); ++i)
                expected[withLF.numbers.at(i)] = {withLF.bytes.at(i), withCR.bytes.at(i)};
            for (int n = 0; n < kFesttextCount; ++n) {
                const auto p = expected.find(n);
                const auto t = terminalTexts.find(n);
                // An empty text and no text show the same on the terminal.
                const bool hasP = p != expected.end() && !p->second.first.isEmpty();
                const bool hasT = t != terminalTexts.end() && !t->second.isEmpty();
                if (!hasP && !hasT)
                    continue;
                if (hasP && hasT && (t->second == p->second.first || t->second == p->second.second))
                    continue;
                a->state = VerifyArea::State::Different;
                a->differences.append({QStringLiteral("Festtext %1").arg(n),
                                       hasP ? shown(p->second.first) : QStringLiteral("(keiner)"),
                                       hasT ? shown(t->second) : QStringLiteral("(keiner)")});
            }
        }
    }
    if (VerifyArea* a = area(kChars)) {
        for (int slot = 0; slot < 8; ++slot) {
            const UserChar& p = projektChars[static_cast<size_t>(slot)];
            const UserChar& t = terminalChars[static_cast<size_t>(slot)];
            // A slot without project record is written blank.
            for (int row = 0; row < 8; ++row)
                compare(*a, QStringLiteral("Zeichen %1 Zeile %2").arg(slot).arg(row),
                        QString::number(p.present ? p.rows[static_cast<size_t>(row)] & 0xFF : 0),
                        QString::number(t.rows[static_cast<size_t>(row)]));
            const int swapP = p.present && !p.Tauschzeichen.isEmpty()
                                  ? AnsiCode(p.Tauschzeichen.at(0)) & 0xFF
                                  : 0;
            const int swapT = t.Tauschzeichen.isEmpty() ? 0 : AnsiCode(t.Tauschzeichen.at(0));
            const auto swapText = [](int code) {
                return code == 0 ? QStringLiteral("(keins)")
                                 : QStringLiteral("\"%1\"").arg(AnsiChar(static_cast<uchar>(code)));
            };
            compare(*a, QStringLiteral("Zeichen %1 Tauschzeichen").arg(slot), swapText(swapP),
                    swapText(swapT));
        }
    }
    if (VerifyArea* a = area(kKeyConfig)) {
        const KeyboardConfig& p = projektKeyboard;
        const KeyboardConfig& t = terminalKeyboard;
        compare(*a, QStringLiteral("Mindestdauer"), QString::number(p.MinPress),
                QString::number(t.MinPress));
        compare(*a, QStringLiteral("Verzögerung bis Wiederholung"),
                QString::number(p.TimeUntilRepeat), QString::number(t.TimeUntilRepeat));
        compare(*a, QStringLiteral("Wiederholabstand"), QString::number(p.TimeBetweenRepeat),
                QString::number(t.TimeBetweenRepeat));
        compare(*a, QStringLiteral("Polling"), onOff(p.Polling), onOff(t.Polling));
        compare(*a, QStringLiteral("Wiederholung"), onOff(p.Repeat), onOff(t.Repeat));
        compare(*a, QStringLiteral("Senden beim Loslassen"), onOff(p.SendKeyUp),
                onOff(t.SendKeyUp));
        compare(*a, QStringLiteral("Matrix"), onOff(p.UseMatrix), onOff(t.UseMatrix));
        compare(*a, QStringLiteral("Tasten-LED"), onOff(p.Key_LED), onOff(t.Key_LED));
        compare(*a, QStringLiteral("Tastenton"), onOff(p.Key_Beep), onOff(t.Key_Beep));
        compare(*a, QStringLiteral("Shift-Taste"), QString::number(p.ShiftKey),
                QString::number(t.ShiftKey));
    }
    if (VerifyArea* a = area(kKeys)) {
        QHash<int, KeyCodeRow> read;
        for (const KeyCodeRow& r : terminalKeys)
            read.insert(r.TastenNr, r);
        for (const KeyCodeRow& p : projektKeys) {
            // SetKeycode writes nothing for a key with an empty code.
            if (p.TastenNr < 1 || p.TastenNr > 32 || p.Tastencode.isEmpty() ||
                p.Tastencode_Shift.isEmpty())
                continue;
            const KeyCodeRow t = read.value(p.TastenNr);
            for (const bool shifted : {false, true}) {
                const QString pn = shifted ? p.Tastencode_Shift : p.Tastencode;
                const QString tn = shifted ? t.Tastencode_Shift : t.Tastencode;
                QByteArray byte;
                std::optional<uchar> pb;
                if (KeyCodeNotation::ToKeyByte(StringToAnsi(pn), shifted, &byte) &&
                    byte.size() == 1)
                    pb = static_cast<uchar>(byte.at(0));
                const std::optional<uchar> tb = readKeyByte(tn);
                if (pb && tb && *pb == *tb)
                    continue;
                a->state = VerifyArea::State::Different;
                a->differences.append({QStringLiteral("Taste %1%2")
                                           .arg(p.TastenNr)
                                           .arg(shifted ? QStringLiteral(" Shift") : QString()),
                                       keyShown(pn, pb), keyShown(tn, tb)});
            }
        }
    }
    if (VerifyArea* a = area(kSerNr)) {
        a->state = VerifyArea::State::Reported;
        a->note = terminal.SerNr;
    }
    if (VerifyArea* a = area(kFirmware)) {
        if (!minimum) {
            a->state = VerifyArea::State::Reported;
            a->note = terminal.Version + QStringLiteral(", kein Mindestwert im Projekt");
        } else if (TextValue(terminal.Version) + 1e-9 < *minimum) {
            a->state = VerifyArea::State::Different;
            a->differences.append({QStringLiteral("Version"),
                                   QStringLiteral("mindestens %1").arg(*minimum),
                                   terminal.Version});
        }
    }
    return true;
}

} // namespace vemro
