#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;

namespace vemro {

class DataEnvironment;
class clsNetModul;

// The search for network modules: "CFG?" to the broadcast address on the command port,
// answers gathered into Suchergebnis (program database) during one time-out interval.
// Answers that arrive outside that window stay in the receive slot only.
class ModuleSearch : public QObject
{
    Q_OBJECT
public:
    static constexpr int kWindowMs = 100;
    // More modules than a search keeps: a flood of made-up serial numbers ends here.
    static constexpr int kMaxModules = 256;

    ModuleSearch(clsNetModul& net, DataEnvironment& env, QObject* parent = nullptr);

    // The collection window; kWindowMs unless a slow network needs more.
    void setWindowMs(int ms) { m_windowMs = ms > 0 ? ms : kWindowMs; }
    [[nodiscard]] int windowMs() const { return m_windowMs; }

    // True only while a search waits for answers.
    [[nodiscard]] bool SucheAktiv() const { return m_active; }

    // Empties the search result, broadcasts the request to `address` and collects the
    // answers for one interval of the time-out timer (set to kWindowMs), and never
    // longer by the clock. Unusable answers are dropped and reported in one message
    // after the window; at most kMaxModules modules are kept. False when the search
    // result could not be opened or saved.
    bool run(const QString& address, QString* error = nullptr);

Q_SIGNALS:
    // One answer could not be stored (after the search result keeps its other values).
    void answerFailed(const QString& description);

private:
    void onDatagram(const QByteArray& datagram);

    clsNetModul& m_net;
    DataEnvironment& m_env;
    bool m_active = false;
    int m_windowMs = kWindowMs;
    QElapsedTimer m_clock;
    int m_dropped = 0;
    QString m_firstProblem;
};

} // namespace vemro
