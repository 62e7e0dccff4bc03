#include "sim/VxControlServer.h"

#include "sim/VxTerminal.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSaveFile>

#include <sys/stat.h>

namespace vemro {

namespace {

bool toInt(const QString& text, int lo, int hi, int* out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

const char* const kHelp = "key N | press N | release N | analog V | port N V | port N release | "
                          "plugs on [STEP] | plugs off | plugs break PORT BIT | plugs mend | "
                          "plugs analog V0 V1 V2 V3 | fault none|nak N|silent|garbage|"
                          "checksum|drop N|mute N | keycode N CODE SHIFT | eeprom ADRESSE WERT | "
                          "reset | dump | display | quit";

} // namespace

VxControlServer::VxControlServer(VxTerminal* terminal, QObject* parent)
    : QObject(parent), m_terminal(terminal)
{
}

VxControlServer::~VxControlServer() = default;

bool VxControlServer::listen(const QString& path, QString* error)
{
    // A socket left by an earlier run is replaced; any other file at the path stays untouched.
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            if (error)
                *error = QStringLiteral("%1 existiert und ist kein Socket").arg(path);
            return false;
        }
        QLocalServer::removeServer(path);
    }
    m_server = new QLocalServer(this);
    if (!m_server->listen(path)) {
        if (error)
            *error = m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &VxControlServer::onConnection);
    return true;
}

void VxControlServer::onConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void VxControlServer::onReadyRead(QLocalSocket* socket)
{
    // A command is one short line; a client that sends endless text without a line end is cut off.
    if (!socket->canReadLine() && socket->bytesAvailable() > 4096) {
        socket->write("ERR Zeile zu lang\n");
        socket->disconnectFromServer();
        return;
    }
    while (socket->canReadLine()) {
        const QString line = QString::fromUtf8(socket->readLine()).trimmed();
        if (line.isEmpty())
            continue;
        socket->write(execute(line).toUtf8() + '\n');
        socket->flush();
    }
}

bool VxControlServer::writeState() const
{
    if (m_stateFile.isEmpty() || !m_terminal)
        return true;
    QSaveFile file(m_stateFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(m_terminal->stateText().toUtf8());
    return file.commit();
}

QString VxControlServer::execute(const QString& line)
{
    if (!m_terminal)
        return QStringLiteral("ERR kein Terminal");
    const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (w.isEmpty())
        return QStringLiteral("ERR leerer Befehl");
    const QString cmd = w[0].toLower();
    int a = 0;
    int b = 0;
    const auto bad = [&] { return QStringLiteral("ERR ungültig: %1").arg(line); };

    if ((cmd == "key" || cmd == "press" || cmd == "release") && w.size() == 2) {
        if (!toInt(w[1], 1, VxTerminal::kKeys, &a))
            return bad();
        if (cmd != "release")
            m_terminal->pressKey(a);
        if (cmd != "press")
            m_terminal->releaseKey(a);
        return QStringLiteral("OK");
    }
    if (cmd == "analog" && w.size() == 2) {
        if (!toInt(w[1], 0, 1023, &a))
            return bad();
        m_terminal->setAnalog(a);
        return QStringLiteral("OK");
    }
    if (cmd == "port" && w.size() == 3) {
        if (!toInt(w[1], 0, VxTerminal::kPorts - 1, &a))
            return bad();
        if (w[2] == "release") {
            m_terminal->setPortInput(a, -1);
            return QStringLiteral("OK");
        }
        bool ok = false;
        b = w[2].toInt(&ok, 0); // 0x.. and decimal
        if (!ok || b < 0 || b > 255)
            return bad();
        m_terminal->setPortInput(a, b);
        return QStringLiteral("OK");
    }
    if (cmd == "plugs" && w.size() == 4 && w[1] == "break") {
        if (!toInt(w[2], 0, VxTerminal::kPorts - 1, &a) || !toInt(w[3], 0, 7, &b))
            return bad();
        m_terminal->breakPlugWire(a, b);
        return QStringLiteral("OK");
    }
    if (cmd == "plugs" && w.size() == 2 && w[1] == "mend") {
        m_terminal->mendPlugs();
        return QStringLiteral("OK");
    }
    if (cmd == "plugs" && w.size() == 6 && w[1] == "analog") {
        QList<int> levels;
        for (int i = 2; i < 6; ++i) {
            if (!toInt(w[i], 0, 1023, &a))
                return bad();
            levels.append(a);
        }
        m_terminal->setPlugAnalogLevels(levels);
        return QStringLiteral("OK");
    }
    if (cmd == "plugs" && w.size() >= 2) {
        if (w[1] == "off") {
            m_terminal->setTestPlugs(false);
            return QStringLiteral("OK");
        }
        a = 256;
        if (w[1] != "on" || (w.size() == 3 && !toInt(w[2], 1, 1023, &a)))
            return bad();
        m_terminal->setTestPlugs(true, a);
        return QStringLiteral("OK");
    }
    if (cmd == "fault" && w.size() >= 2) {
        const QString kind = w[1].toLower();
        using F = VxTerminal::Fault;
        if (kind == "none" && w.size() == 2)
            m_terminal->setFault(F::None);
        else if (kind == "silent" && w.size() == 2)
            m_terminal->setFault(F::Silent);
        else if (kind == "garbage" && w.size() == 2)
            m_terminal->setFault(F::Garbage);
        else if (kind == "checksum" && w.size() == 2)
            m_terminal->setFault(F::WrongChecksum);
        else if (kind == "nak" && w.size() == 3 && toInt(w[2], 1, 1000000, &a))
            m_terminal->setFault(F::NakEvery, a);
        else if (kind == "drop" && w.size() == 3 && toInt(w[2], 1, 100000000, &a))
            m_terminal->setFault(F::DropAfter, a);
        else if (kind == "mute" && w.size() == 3 && toInt(w[2], 1, 100000000, &a))
            m_terminal->setFault(F::MuteAfter, a);
        else
            return bad();
        return QStringLiteral("OK");
    }
    // A key's codes or an EEPROM cell changed behind the PC's back (values 0x.. or decimal).
    if (cmd == "keycode" && w.size() == 4) {
        bool okCode = false;
        bool okShift = false;
        const int code = w[2].toInt(&okCode, 0);
        const int shift = w[3].toInt(&okShift, 0);
        if (!toInt(w[1], 1, VxTerminal::kKeys, &a) || !okCode || !okShift || code < 0 ||
            code > 255 || shift < 0 || shift > 255)
            return bad();
        m_terminal->setKeyCodes(a, static_cast<uchar>(code), static_cast<uchar>(shift));
        return QStringLiteral("OK");
    }
    if (cmd == "eeprom" && w.size() == 3) {
        bool okAddress = false;
        bool okValue = false;
        const int address = w[1].toInt(&okAddress, 0);
        const int value = w[2].toInt(&okValue, 0);
        if (!okAddress || !okValue || address < 0 || address >= m_terminal->eeprom().size() ||
            value < 0 || value > 255)
            return bad();
        m_terminal->setEepromCell(address, static_cast<uchar>(value));
        return QStringLiteral("OK");
    }
    if (cmd == "reset" && w.size() == 1) {
        m_terminal->reset();
        return QStringLiteral("OK");
    }
    if (cmd == "dump" && w.size() == 1) {
        if (!writeState())
            return QStringLiteral("ERR Zustandsdatei %1 nicht schreibbar").arg(m_stateFile);
        return m_terminal->stateText() + QStringLiteral("OK");
    }
    if (cmd == "display" && w.size() == 1) {
        QString text;
        for (const QString& l : m_terminal->displayLines())
            text += QLatin1Char('|') + l + QStringLiteral("|\n");
        return text + QStringLiteral("OK");
    }
    if (cmd == "quit" && w.size() == 1) {
        emit quitRequested();
        return QStringLiteral("OK");
    }
    if (cmd == "help")
        return QStringLiteral("OK ") + QLatin1String(kHelp);
    return bad();
}

} // namespace vemro
