// The production test's procedures that ask the tester, the keyboard test and the
// programming steps.
#include "qmtest/QMProcedures.h"

#include "config/InterfaceSettingsCore.h"
#include "config/InterfaceSettingsData.h"
#include "config/ProjectVerifyCore.h"
#include "config/TerminalSettingsCore.h"
#include "link/ComPort.h"
#include "link/clsVX.h"
#include "platform/Globals.h"
#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "project/DataEnvironment.h"
#include "project/Recordset.h"
#include "qmtest/ProgrammingSeam.h"
#include "qmtest/QMKeyboardTest.h"
#include "qmtest/clsQMTest.h"

#include <QDateTime>
#include <QPointer>

#include <utility>

namespace vemro {

// ---------------------------------------------------------------- keyboard

bool QMProcedures::CheckKeyboard()
{
    titel(QStringLiteral("Test Tastatur-Modul"));
    bool result = true;
    QMKeyboardTest test;
    if (m_keyboardView)
        m_keyboardView(test);
    bool done = false;
    // "Abbruch" (or a signal in vemro-cli) ends the keyboard test as well.
    const auto stop = [&] { return test.bCancel() || m_test.CancelQMTest; };
    while (!stop() && !done) {
        QByteArray text;
        while (text.isEmpty() && !stop()) {
            // Receive waits in the event loop, so the dialog's buttons keep working.
            if (m_vx.Receive(text, QByteArray())) {
                // Nothing arrived (or no line at all): wait a moment with the event loop
                // running, so a closed port does not make this loop spin.
                text.clear();
                m_vx.WaitMS(kKeyPollMs);
            }
        }
        if (text.isEmpty())
            break;
        // Keys pressed quickly arrive together: every code counts, not just the first.
        for (const char c : std::as_const(text)) {
            const int k = static_cast<uchar>(c) - 'a';
            if (k >= 0 && k < QMKeyboardTest::kTasten)
                test.markKey(k + 1);
            else
                result = false; // a foreign key code; the test goes on
        }
        done = test.CheckTasten();
    }
    if (test.bCancel()) {
        log(QStringLiteral("Fehler bei Tastaturmodul"));
        result = false;
    }
    return result && done;
}

bool QMProcedures::CheckKeyboardLED(QString* error)
{
    if (!m_seam->SetKeyLed(false, error))
        return false;
    m_vx.SetIOPort(1, 255);
    const bool ok = frage(QStringLiteral("Sind alle LED eingeschaltet ?"));
    if (!ok)
        log(QStringLiteral("Fehler bei Tasten-LED"));
    QString again;
    if (!m_seam->SetKeyLed(true, &again)) {
        log(again);
        return false;
    }
    return ok;
}

// ---------------------------------------------------------------- operator checks

bool QMProcedures::CheckBacklight()
{
    m_vx.SetDisplayBacklight(1);
    titel(QStringLiteral("Test Backlight"));
    if (frage(QStringLiteral("Ist die Beleuchtung ein ?"))) {
        m_vx.SetDisplayBacklight(0);
        return true;
    }
    log(QStringLiteral("Backlight lässt sich nicht einschalten"));
    return false;
}

bool QMProcedures::CheckKontrast()
{
    m_vx.SetDisplayKontrast(7);
    titel(QStringLiteral("Kontrasteinstellung"));
    sendRaw(globals().EscChar + "LC2,1;");
    sendRaw(QByteArrayLiteral("Display "));
    if (frage(QStringLiteral("Das Poti so einstellen, dass der Text auf dem Display lesbar ist") +
              QStringLiteral("\r\nIst dies gelungen ?")))
        return true;
    log(QStringLiteral("Fehler bei Kontrasteinstellung"));
    return false;
}

bool QMProcedures::CheckDisplay()
{
    m_vx.SetDisplayKontrast(7);
    titel(QStringLiteral("Testausgabe"));
    sendRaw(globals().EscChar + "LC2,1;");
    sendRaw(QByteArrayLiteral("Zeile 2"));
    if (frage(QStringLiteral("Ist auf dem Display ein Text zu sehen?")))
        return true;
    log(QStringLiteral("Displaydarstellung fehlt/fehlerhaft"));
    return false;
}

bool QMProcedures::TestEnde()
{
    m_vx.WaitMS(kTitelPauseMs);
    titel(QStringLiteral("Test Ende"));
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            m_vx.WaitMS(kBeepPauseMs);
        if (m_beep)
            m_beep();
    }
    return true;
}

bool QMProcedures::DoVorprogrammierung()
{
    titel(QStringLiteral("Vorprogrammierung"));
    return false; // a step without a result of its own
}

bool QMProcedures::CreateDBGruppeneintrag()
{
    return true;
}

bool QMProcedures::NewProtokollfile()
{
    clsProtokoll& p = m_test.QMProtokoll();
    p.setDateiname(clsProtokoll::protokollDateiname(ProgramFolder(), QDateTime::currentDateTime()));
    p.add(clsProtokoll::kNeuePruefung);
    return false; // prepares the log; no result of its own
}

bool QMProcedures::FinishSelbsttest()
{
    ui().message(QStringLiteral("Der Abschluss des Selbsttests ist in diesem Programmstand "
                                "noch nicht enthalten."),
                 kProductName);
    return false;
}

// ---------------------------------------------------------------- programming

namespace {

// The log text of a step whose values did not read back as written, naming each one.
QString nichtUebernommen(const QString& what, const VerifyResult& compared)
{
    return what + QStringLiteral(" vom Terminal nicht übernommen:") +
           compared.differenceLines().join(QLatin1Char(';'));
}

} // namespace

bool QMProcedures::konfigSpeichern()
{
    (void)m_vx.lastError(); // only the answer to "KS" counts
    m_vx.SaveKonfig();
    const LinkError code = m_vx.lastError();
    if (code == LinkError::None)
        return true;
    log(code == LinkError::Nak ? QStringLiteral("Terminal hat das Speichern abgelehnt (NAK)")
                               : QStringLiteral("Terminal hat das Speichern nicht bestätigt"));
    return false;
}

bool QMProcedures::projektEinstellungen(TerminalSettingsData& d)
{
    // The open project's configuration, whatever the checks before sent (contrast 7, the
    // backlight off) or a transfer read back: those are test values, not the terminal's.
    QString error;
    TerminalSettingsCore core(m_vx, m_env);
    if (core.loadCheckedFromProject(d, &error))
        return true;
    log(error);
    return false;
}

bool QMProcedures::SetDisplay()
{
    TerminalSettingsData d;
    if (!projektEinstellungen(d))
        return false;
    TerminalSettingsCore core(m_vx, m_env);
    QString error;
    if (!core.writeKontrast(d, &error) || !core.writeBacklight(d, &error) ||
        !core.writeDisplaySize(d, &error)) {
        log(error);
        return false;
    }
    // The terminal confirms none of the three: they count as set once they read back.
    TerminalSettingsData back = d;
    const bool read = core.readInfo(back, &error) && core.readBacklight(back, &error) &&
                      core.readKontrast(back, &error);
    core.takeDisplaySize(d); // the terminal object keeps what was written
    const QString what = QStringLiteral("Displaygeometrie, Kontrast, Backlight");
    if (!read) {
        log(what + QStringLiteral(" nicht eingestellt : ") + error);
        return false;
    }
    const VerifyResult compared = ProjectVerifyCore::compareSettings(
        {QStringLiteral("display"), QStringLiteral("backlight"), QStringLiteral("contrast")}, d,
        back);
    if (!compared.equal()) {
        log(nichtUebernommen(what, compared));
        return false;
    }
    if (!konfigSpeichern())
        return false;
    log(what + QStringLiteral(" eingestellt"));
    return true;
}

bool QMProcedures::SaveKonfig()
{
    return konfigSpeichern();
}

bool QMProcedures::SetTastatur()
{
    QString error;
    if (!m_seam->SaveTastaturConfig(&error) || !m_seam->SaveTastaturcodes(&error)) {
        log(error);
        return false;
    }
    log(QStringLiteral("Tastatur konfiguriert"));
    return true;
}

bool QMProcedures::SetTerminalmode()
{
    TerminalSettingsData d;
    if (!projektEinstellungen(d))
        return false;
    QString error;
    TerminalSettingsData back = d;
    if (!TerminalSettingsCore(m_vx, m_env).writeMode(d, &error, &back)) {
        // The write read the mode back; the answer channel is the link's choice.
        back.SendMode = d.SendMode;
        const VerifyResult compared =
            ProjectVerifyCore::compareSettings({QStringLiteral("mode")}, d, back);
        log(compared.equal() ? error : nichtUebernommen(QStringLiteral("Terminalmodus"), compared));
        return false;
    }
    if (!konfigSpeichern())
        return false;
    log(QStringLiteral("Terminalmodus und Festtextport eingestellt"));
    return true;
}

bool QMProcedures::SetSchnittstelle(QString* error)
{
    const QString command = QStringLiteral("cmdTerminaleinstellung");
    if (!m_env.ensureOpen(command, error))
        return false;
    Recordset& rs = m_env.recordset(command);
    rs.moveFirst();
    if (rs.eof()) {
        *error = QStringLiteral("keine Terminaleinstellungen im Projekt");
        return false;
    }
    const QString comsettings = rs.value(QStringLiteral("Comsettings")).toString();
    ComPort* port = m_vx.ctlcom();
    if (m_vx.ComMode == ComMode::Network || !port) {
        // Behind the network module the PC has no serial speed to follow.
        m_vx.SetCom(comsettings, m_vx.ComMode);
    } else {
        // The PC follows the terminal to its new speed, as "setzen" on page "Schnittstelle"
        // does; otherwise every later step would go unheard.
        InterfaceSettingsData d;
        d.ComPort = port->CommPort();
        d.speed = comsettings.section(QLatin1Char(','), 0, 0).trimmed();
        QString why;
        if (!InterfaceSettingsCore(m_vx, m_env).applySerial(d, &why)) {
            log(QStringLiteral("Schnittstelle nicht eingestellt : ") + why);
            return false;
        }
    }
    if (m_vx.Version() == QLatin1String("unbekannt")) {
        log(QStringLiteral("Schnittstelle nicht eingestellt : Terminal antwortet mit ") +
            comsettings + QStringLiteral(" nicht"));
        return false;
    }
    log(QStringLiteral("Schnittstelle eingestellt"));
    return true;
}

bool QMProcedures::programmiere(bool (ProgrammingSeam::*transfer)(QString*), const QString& ok,
                                const QString& fehler)
{
    QString error;
    if ((m_seam->*transfer)(&error)) {
        log(ok);
        return true;
    }
    log(error.isEmpty() ? fehler : fehler + QStringLiteral(" : ") + error);
    m_test.kritischerFehler = true;
    return false;
}

bool QMProcedures::SetUserzeichen()
{
    return programmiere(&ProgrammingSeam::SaveUserzeichen,
                        QStringLiteral("Userdefinierte Zeichen programmiert"),
                        QStringLiteral("Fehler beim programmieren der Userzeichen"));
}

bool QMProcedures::SetFesttexte()
{
    return programmiere(&ProgrammingSeam::SaveFesttexte, QStringLiteral("Festtexte programmiert"),
                        QStringLiteral("Fehler beim programmieren der Festtexte"));
}

} // namespace vemro
