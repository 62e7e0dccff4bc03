// The production test's procedures: registration, common steps, port, analog and memory
// checks, serial number and firmware version.
#include "qmtest/QMProcedures.h"

#include "link/clsVX.h"
#include "platform/Codepage.h"
#include "platform/Globals.h"
#include "platform/TextValue.h"
#include "platform/UserInterface.h"
#include "qmtest/clsQMTest.h"

#include <cmath>

namespace vemro {

namespace {

QString hex(int value)
{
    return QString::number(value, 16).toUpper();
}

} // namespace

QMProcedures::QMProcedures(clsQMTest& test, clsVX& vx, DataEnvironment& env, ProgrammingSeam& seam)
    : m_test(test), m_vx(vx), m_env(env), m_seam(&seam)
{
}

QMProcedures::~QMProcedures()
{
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        QObject::disconnect(c);
}

void QMProcedures::registerAll()
{
    // The serial number is kept as the run learns it, for the report.
    const auto learn = [this] {
        if (!m_vx.SerNr.trimmed().isEmpty() && !m_vx.SerNr.startsWith(QLatin1Char('[')))
            m_serNr = m_vx.SerNr;
    };
    m_connections << QObject::connect(&m_test, &clsQMTest::runStarted, &m_test, [this, learn] {
        m_serNr.clear();
        learn();
    });
    m_connections << QObject::connect(&m_test, &clsQMTest::schrittBeendet, &m_test, learn);
    using Plain = bool (QMProcedures::*)();
    const QList<std::pair<const char*, Plain>> plain = {
        {"CheckIOModulTransistor", &QMProcedures::CheckIOModulTransistor},
        {"CheckIOModulRelais4", &QMProcedures::CheckIOModulRelais4},
        {"CheckInternport", &QMProcedures::CheckInternport},
        {"CheckinternPort_Brenmoor", &QMProcedures::CheckinternPort_Brenmoor},
        {"CheckKeyboard", &QMProcedures::CheckKeyboard},
        {"CheckExtEE", &QMProcedures::CheckExtEE},
        {"CheckExtEE_long", &QMProcedures::CheckExtEE_long},
        {"CheckAnalog", &QMProcedures::CheckAnalog},
        {"CheckAnalog_16x2", &QMProcedures::CheckAnalog_16x2},
        {"CheckBacklight", &QMProcedures::CheckBacklight},
        {"CheckKontrast", &QMProcedures::CheckKontrast},
        {"CheckDisplay", &QMProcedures::CheckDisplay},
        {"TestEnde", &QMProcedures::TestEnde},
        {"SetDisplay", &QMProcedures::SetDisplay},
        {"SaveKonfig", &QMProcedures::SaveKonfig},
        {"SetTastatur", &QMProcedures::SetTastatur},
        {"SetTerminalmode", &QMProcedures::SetTerminalmode},
        {"SetUserzeichen", &QMProcedures::SetUserzeichen},
        {"SetFesttexte", &QMProcedures::SetFesttexte},
        {"SetSerNr", &QMProcedures::SetSerNr},
        {"CheckVersion", &QMProcedures::CheckVersion},
        {"DoVorprogrammierung", &QMProcedures::DoVorprogrammierung},
        {"CreateDBGruppeneintrag", &QMProcedures::CreateDBGruppeneintrag},
        {"NewProtokollfile", &QMProcedures::NewProtokollfile},
        {"FinishSelbsttest", &QMProcedures::FinishSelbsttest},
    };
    // Steps that by their nature give no result (they prepare, or only show something).
    const QStringList ohneErgebnis = {QStringLiteral("DoVorprogrammierung"),
                                      QStringLiteral("NewProtokollfile"),
                                      QStringLiteral("FinishSelbsttest")};
    for (const auto& [name, member] : plain) {
        const QString n = QLatin1String(name);
        m_test.registerProcedure(
            n, [this, m = member](QString*) { return (this->*m)(); },
            ohneErgebnis.contains(n) ? clsQMTest::Ergebnis::Keins : clsQMTest::Ergebnis::Ja);
    }
    m_test.registerProcedure(QStringLiteral("CheckKeyboardLED"),
                             [this](QString* error) { return CheckKeyboardLED(error); });
    m_test.registerProcedure(QStringLiteral("SetSchnittstelle"),
                             [this](QString* error) { return SetSchnittstelle(error); });
}

// ---------------------------------------------------------------- common steps

void QMProcedures::sendRaw(const QByteArray& bytes)
{
    QByteArray text = bytes;
    m_vx.Send(text, false, true);
}

void QMProcedures::titel(const QString& text)
{
    sendRaw(globals().EscChar + "LL");
    m_vx.WaitMS(kTitelPauseMs);
    sendRaw(StringToAnsi(text));
}

int QMProcedures::portSchritt(int port, int value)
{
    m_vx.SetIOPort(port, value);
    m_vx.WaitMS(kPortPauseMs);
    return m_vx.GetIOPort(port);
}

bool QMProcedures::frage(const QString& text)
{
    return ui().ask(text, UserInterface::Buttons::YesNo, kProductName) ==
           UserInterface::Answer::Yes;
}

void QMProcedures::log(const QString& text)
{
    m_test.QMProtokoll().add(text);
}

// ---------------------------------------------------------------- port tests

bool QMProcedures::portTest(const QString& title, int port, const QList<PortSchritt>& schritte,
                            const QString& question, int nachZyklus)
{
    titel(title);
    for (;;) {
        bool ok = true;
        for (const PortSchritt& s : schritte) {
            const int ist = portSchritt(port, s.wert);
            if ((ist & s.maske) - s.abzug != s.soll) {
                log(s.fehlertext + hex(ist));
                ok = false;
            }
        }
        if (nachZyklus >= 0)
            m_vx.SetIOPort(port, nachZyklus);
        if (ok)
            return true;
        if (!frage(question))
            return false;
    }
}

bool QMProcedures::CheckIOModulTransistor()
{
    return portTest(QStringLiteral("Test IO-Modul "), 1,
                    {{0x55, 0xAA, 0xFF, 0, QStringLiteral("Port-Fehler, Soll : hAA, Ist : ")},
                     {0xAA, 0x55, 0xFF, 0, QStringLiteral("Port-Fehler, Soll : h55, Ist : ")}},
                    kWiederholen, 0);
}

bool QMProcedures::CheckIOModulRelais4()
{
    // The relay module has four contacts: only the low nibble is read back.
    return portTest(QStringLiteral("Test IO-Modul "), 1,
                    {{0x0A, 0x05, 0x0F, 0, QStringLiteral("Port-Fehler, Soll : h5x, Ist : ")},
                     {0x05, 0x0A, 0x0F, 0, QStringLiteral("Port-Fehler, Soll : hAx, Ist : ")}},
                    kWiederholen, 0);
}

bool QMProcedures::CheckInternport()
{
    // The plug pulls bit 7 (an input) high: the value read minus 0x80 is the pattern.
    return portTest(QStringLiteral("Test interner Port 0"), 0,
                    {{0x55, 0x55, 0xFFFF, 0x80, QStringLiteral("Port-Fehler, Soll : h55, Ist : ")},
                     {0x2A, 0x2A, 0xFFFF, 0x80, QStringLiteral("Port-Fehler, Soll : h2A, Ist : ")}},
                    kWiederholen, -1);
}

bool QMProcedures::CheckinternPort_Brenmoor()
{
    const QString title = QStringLiteral("Test int.Port 0\r(Brenmoor)");
    titel(title);
    // Keyboard: minimum press 10, repeat delay 50, repeat interval 10, repeat on, no shift key.
    sendRaw(globals().EscChar + "TK10,50,10,2,0;");
    m_vx.WaitMS(kPortPauseMs);
    const QList<PortSchritt> schritte = {
        {3, 3, 3, 0, QStringLiteral("Port-Fehler, Soll : h03, Ist : ")},
        {2, 2, 3, 0, QStringLiteral("Port-Fehler X1/Y1, Soll : h02, Ist : ")},
        {1, 1, 3, 0, QStringLiteral("Port-Fehler X2/Y2, Soll : h01, Ist : ")}};
    for (;;) {
        bool ok = true;
        for (const PortSchritt& s : schritte) {
            const int ist = portSchritt(0, s.wert);
            if ((ist & s.maske) != s.soll) {
                log(s.fehlertext + hex(ist));
                ok = false;
            }
        }
        if (ok)
            return true;
        if (!frage(kWiederholenBrenmoor))
            return false;
    }
}

// ---------------------------------------------------------------- analog input

bool QMProcedures::analogTest(const QList<int>& soll, const QList<double>& toleranz)
{
    titel(QStringLiteral("Test Analogeingang"));
    bool ok = true;
    for (int k = 0; k < soll.size(); ++k) {
        m_vx.SetIOPort(0, k);
        m_vx.WaitMS(kAnalogPauseMs);
        const int v = m_vx.Analog();
        // Level 0 accepts up to 4 counts; a missing answer (-1) is no reading at all.
        const bool inside =
            k == 0 ? (v >= 0 && v <= 4) : std::fabs(double(v) - soll.at(k)) <= toleranz.at(k);
        if (!inside) {
            log(QStringLiteral("Fehler AD : Soll %1, Ist  %2").arg(soll.at(k)).arg(v));
            ok = false;
        }
    }
    return ok;
}

bool QMProcedures::CheckAnalog()
{
    return analogTest({0, 256, 512, 768}, {4, 2.56, 5.12, 7.68});
}

bool QMProcedures::CheckAnalog_16x2()
{
    return analogTest({0, 341, 682, 1023}, {4, 3.41, 6.82, 10.23});
}

// ---------------------------------------------------------------- external memory

bool QMProcedures::CheckExtEE()
{
    const qint32 size = m_vx.CheckEEProm();
    m_vx.WaitMS(kEEPromPauseMs);
    if (size > 0) {
        log(QStringLiteral("Ermittelter Speicher : %1").arg(size));
        return true;
    }
    log(QStringLiteral("Speicherfehler, ermittelt wurde %1").arg(qAbs(size)));
    return false;
}

bool QMProcedures::CheckExtEE_long()
{
    const auto ask = [](const QString& prompt, const QString& preset) {
        const std::optional<QString> answer = ui().input(prompt, kProductName, preset);
        return static_cast<qint64>(RoundHalfEven(TextValue(answer.value_or(QString()))));
    };
    // Addresses are 16 bits: anything outside is brought into the memory's range.
    qint64 start = qBound<qint64>(0, ask(QStringLiteral("Startadresse"), QStringLiteral("1000")),
                                  qint64(kMaxAdresse));
    qint64 end = qBound<qint64>(0, ask(QStringLiteral("Endadresse"), QString::number(start + 10)),
                                qint64(kMaxAdresse) + 1);
    if (start >= end)
        end = start + 1;
    end = qMin<qint64>(end, kMaxAdresse);
    bool ok = true;
    for (qint64 a = start; a <= end; ++a) {
        if (m_test.CancelQMTest)
            return false; // "Abbruch" also ends a long cell test
        const int address = static_cast<int>(a);
        const qint32 old = m_vx.GetextEEZelle(address);
        const int neu = static_cast<int>(((old + 10) % 256 + 256) % 256);
        if (m_vx.SetextEEZelle(address, neu)) {
            const qint32 ist = m_vx.GetextEEZelle(address);
            if (ist == neu) {
                log(QStringLiteral("Adresse ok :   %1").arg(address));
            } else {
                log(QStringLiteral("Speicherfehler %1 Soll : %2 Ist : %3")
                        .arg(address)
                        .arg(neu)
                        .arg(ist));
                ok = false;
            }
        } else {
            log(QStringLiteral("Speicherfehler %1 (NACK)").arg(address));
            ok = false;
        }
    }
    return ok;
}

// ---------------------------------------------------------------- serial number, version

bool QMProcedures::SetSerNr()
{
    bool ok = false;
    for (;;) {
        (void)m_vx.Version(); // also refreshes SerNr
        const QString preset = m_vx.SerNr.startsWith(QLatin1Char('[')) ? QString() : m_vx.SerNr;
        const std::optional<QString> answer =
            ui().input(QStringLiteral("SerNr eingeben :"), QStringLiteral("SerNr"), preset);
        const QString text = answer.value_or(QString()).trimmed();
        if (text.isEmpty())
            return false;
        // Only digits make a serial number: "12a" would otherwise count as 12 and be sent.
        bool digits = text.size() <= 9;
        for (QChar c : text)
            digits = digits && c.isDigit() && c.unicode() < 128;
        const qint64 value = digits ? text.toLongLong() : -1;
        if (digits && value >= m_test.SerNrMin && value <= m_test.SerNrMax) {
            m_vx.SerNr = text;
            m_vx.SetSerNr();
            ok = true;
            break;
        }
        if (!frage(QStringLiteral("SerNr nicht im gültigen Bereich. Wiederholen ?")))
            break;
    }
    m_vx.WaitMS(kSerNrPauseMs);
    log(QStringLiteral("SerNr : ") + m_vx.SerNr);
    return ok;
}

bool QMProcedures::CheckVersion()
{
    bool ok = false;
    for (;;) {
        const QString version = m_vx.Version();
        if (version == QLatin1String("unbekannt")) {
            if (frage(QStringLiteral("Terminal nicht ansprechbar, wiederholen?")))
                continue;
            m_test.kritischerFehler = true;
            break;
        }
        const QVariant min = m_test.aktZeile(QStringLiteral("Min"));
        const double minimum = min.isNull() ? 0.0 : min.toDouble();
        if (TextValue(version) >= minimum) {
            ok = true;
        } else {
            ui().message(QStringLiteral("Version muss mindestens V") +
                             QString::number(minimum).replace(QLatin1Char(','), QLatin1Char('.')) +
                             QStringLiteral(" sein!"),
                         kProductName);
            m_test.kritischerFehler = true;
        }
        break;
    }
    log(QStringLiteral("Terminalversion : ") + m_vx.Version());
    return ok;
}

} // namespace vemro
