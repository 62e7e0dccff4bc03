#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace vemro {

class DataEnvironment;
struct TerminalSettingsData;
class ProgrammingSeam;
class QMKeyboardTest;
class clsQMTest;
class clsVX;

// The test procedures of the production test: each drives the terminal through clsVX, asks
// the tester through the UserInterface, writes its result lines into the test log and
// returns true when passed. registerAll() makes them callable by name on the test object.
// The programming of user characters, fixed texts and the keyboard goes through the
// ProgrammingSeam (the transfers of those subsystems).
class QMProcedures
{
public:
    static constexpr int kTitelPauseMs = 200;
    static constexpr int kPortPauseMs = 200;
    static constexpr int kAnalogPauseMs = 100;
    static constexpr int kEEPromPauseMs = 3000;
    static constexpr int kSerNrPauseMs = 1000;
    static constexpr int kBeepPauseMs = 150;
    static constexpr int kKeyPollMs = 50;
    static constexpr int kMaxAdresse = 0xFFFF;

    static inline const QString kWiederholen =
        QStringLiteral("Fehler, evtl. fehlt Prüfstecker.Wiederholen?");
    static inline const QString kWiederholenBrenmoor =
        QStringLiteral("Fehler, evtl X1+Y1, X2+Y2 nicht gebrückt .Wiederholen?");

    QMProcedures(clsQMTest& test, clsVX& vx, DataEnvironment& env, ProgrammingSeam& seam);

    ~QMProcedures();
    QMProcedures(const QMProcedures&) = delete;
    QMProcedures& operator=(const QMProcedures&) = delete;

    // Registers every procedure by its name on the test object.
    void registerAll();
    // The terminal's serial number as the run last knew it (entered or read back); it stays
    // when a later query goes unanswered. Empty when the run never learnt it.
    [[nodiscard]] QString bekannteSerNr() const { return m_serNr; }
    // The transfers the programming steps call (not owned).
    void setSeam(ProgrammingSeam& seam) { m_seam = &seam; }

    // Shows the keyboard test (the GUI opens frmQMTestKeyboard on it; without a view the
    // test runs on the terminal's keys alone).
    void setKeyboardView(std::function<void(QMKeyboardTest&)> open)
    {
        m_keyboardView = std::move(open);
    }
    // The PC beep (the GUI's QApplication::beep; nothing by default).
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    // A port step of a port test: write `value`, expect `(read & mask) - offset == expected`.
    struct PortSchritt
    {
        int wert;
        int soll;
        int maske;
        int abzug;
        QString fehlertext;
    };

    bool CheckIOModulTransistor();
    bool CheckIOModulRelais4();
    bool CheckInternport();
    bool CheckinternPort_Brenmoor();
    bool CheckKeyboard();
    bool CheckKeyboardLED(QString* error);
    bool CheckExtEE();
    bool CheckExtEE_long();
    bool CheckAnalog();
    bool CheckAnalog_16x2();
    bool CheckBacklight();
    bool CheckKontrast();
    bool CheckDisplay();
    bool TestEnde();
    bool SetDisplay();
    bool SaveKonfig();
    bool SetTastatur();
    bool SetTerminalmode();
    bool SetSchnittstelle(QString* error);
    bool SetUserzeichen();
    bool SetFesttexte();
    bool SetSerNr();
    bool CheckVersion();
    bool DoVorprogrammierung();
    bool CreateDBGruppeneintrag();
    bool NewProtokollfile();
    bool FinishSelbsttest();

private:
    void titel(const QString& text);
    void sendRaw(const QByteArray& bytes);
    [[nodiscard]] int portSchritt(int port, int value);
    bool portTest(const QString& title, int port, const QList<PortSchritt>& schritte,
                  const QString& frage, int nachZyklus);
    bool analogTest(const QList<int>& soll, const QList<double>& toleranz);
    [[nodiscard]] bool frage(const QString& text);
    void log(const QString& text);
    // SaveKonfig of the terminal; false (and a log line) when the terminal did not confirm.
    bool konfigSpeichern();
    // The project's terminal settings for a programming step; false (and a log line) when
    // the project's record cannot be sent.
    bool projektEinstellungen(TerminalSettingsData& d);
    bool programmiere(bool (ProgrammingSeam::*transfer)(QString*), const QString& ok,
                      const QString& fehler);

    clsQMTest& m_test;
    clsVX& m_vx;
    DataEnvironment& m_env;
    ProgrammingSeam* m_seam;
    std::function<void(QMKeyboardTest&)> m_keyboardView;
    std::function<void()> m_beep;
    QString m_serNr;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace vemro
