#include "qmtest/clsProtokoll.h"

#include "platform/ProgramInfo.h"
#include "platform/UserInterface.h"
#include "qmtest/ProtokollView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace vemro {

namespace {

constexpr QFileDevice::Permissions kWriteBits = QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                                QFileDevice::WriteGroup | QFileDevice::WriteOther;

void setReadOnly(const QString& path, bool readOnly)
{
    const QFileDevice::Permissions p = QFile::permissions(path);
    if (readOnly)
        QFile::setPermissions(path, p & ~kWriteBits);
    else
        QFile::setPermissions(path, p | QFileDevice::WriteOwner | QFileDevice::WriteUser);
}

// A number as the printer writes it: a blank for the sign before it and one after it.
QString printerNumber(int n)
{
    return (n < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(qAbs(n)) +
           QLatin1Char(' ');
}

} // namespace

clsProtokoll::clsProtokoll(QObject* parent)
    : QObject(parent), m_clock([] { return QDateTime::currentDateTime(); })
{
}

clsProtokoll::~clsProtokoll() = default;

void clsProtokoll::setAktiv(qint16 flags)
{
    m_aktiv = flags;
    layoutColumns();
}

void clsProtokoll::setListView(ProtokollView* view)
{
    m_view = view;
    if (!m_view)
        return;
    m_view->prepare({QStringLiteral("Datum"), QStringLiteral("Zeit"), QStringLiteral("Text")},
                    kFontSize);
    m_view->setColumnWidths(kDatumTwips, kZeitTwips, kTextTwips);
}

void clsProtokoll::layoutColumns()
{
    if (!m_view)
        return;
    if (m_aktiv & kDatumZeit)
        m_view->setColumnWidths(kDatumTwips, kZeitTwips, kTextTwips);
    else
        m_view->setColumnWidths(0, 0, m_view->widthTwips() - kRandTwips);
}

void clsProtokoll::setDateiname(const QString& path)
{
    if (path != m_dateiname)
        m_failureReported = false;
    m_dateiname = path;
}

QString clsProtokoll::druckzonen(const QStringList& items)
{
    QString line;
    for (int i = 0; i < items.size(); ++i) {
        if (i > 0) {
            // The next item starts at the next zone that begins after the current position.
            const int next = (line.size() / kZoneWidth + 1) * kZoneWidth;
            line += QString(next - line.size(), QLatin1Char(' '));
        }
        line += items.at(i);
    }
    return line;
}

QString clsProtokoll::dateiDatum(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd.MM.yyyy"));
}

QString clsProtokoll::dateiZeit(const QDateTime& when)
{
    return when.toString(QStringLiteral("HH:mm:ss"));
}

QString clsProtokoll::protokollDateiname(const QString& programFolder, const QDateTime& when)
{
    return JoinStoredPath(programFolder, QStringLiteral("\\QM\\QMTest_LogFile_")) +
           when.toString(QStringLiteral("dd_MM")) + QLatin1Char('_') +
           when.toString(QStringLiteral("HH_mm")) + QStringLiteral(".txt");
}

bool clsProtokoll::appendLine(const QString& line, QString* error)
{
    // A missing folder is made on the first line; a file that stays unwritable is reported.
    const QFileInfo info(m_dateiname);
    if (!info.absoluteDir().exists() && !QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("Ordner %1 kann nicht angelegt werden").arg(info.absolutePath());
        return false;
    }
    const bool existed = info.exists();
    if (existed)
        setReadOnly(m_dateiname, false);
    QFile file(m_dateiname);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Append);
    if (ok) {
        const QByteArray bytes = line.toUtf8() + "\r\n";
        ok = file.write(bytes) == bytes.size();
        file.close();
        ok = ok && file.error() == QFileDevice::NoError;
    }
    if (!ok)
        *error = file.errorString();
    if (existed || ok)
        setReadOnly(m_dateiname, true);
    return ok;
}

void clsProtokoll::add(const QString& text)
{
    if (m_aktiv == 0)
        return;
    const QDateTime now = m_clock();
    m_eintraege.append({now, text, m_schritt, -1});
    if (m_aktiv & kDatei) {
        QString error;
        if (!appendLine(druckzonen({dateiDatum(now), dateiZeit(now), text}), &error) &&
            !m_failureReported) {
            m_failureReported = true;
            const QString message =
                QStringLiteral("Protokolldatei %1 kann nicht geschrieben werden: %2")
                    .arg(m_dateiname, error);
            if ((m_aktiv & kListe) && m_view)
                m_view->addItem(now.toString(QStringLiteral("dd.MM.yy")), dateiZeit(now), message);
            emit fileWriteFailed(message);
        }
    }
    if ((m_aktiv & kListe) && m_view)
        m_view->addItem(now.toString(QStringLiteral("dd.MM.yy")), dateiZeit(now), text);
    emit entryAdded(text);
}

void clsProtokoll::beginSchritt(const QString& name)
{
    m_schritt = name;
    m_schrittStart = static_cast<int>(m_eintraege.size());
}

void clsProtokoll::endSchritt(int ergebnis)
{
    if (m_schrittStart < 0)
        return;
    const int result = ergebnis < 0 ? -1 : (ergebnis ? 1 : 0);
    if (m_schrittStart == m_eintraege.size()) {
        // A step that wrote nothing still shows its result in the report.
        m_eintraege.append({m_clock(), QString(), m_schritt, result});
    } else {
        for (int i = m_schrittStart; i < m_eintraege.size(); ++i)
            m_eintraege[i].ergebnis = result;
    }
    m_schritt.clear();
    m_schrittStart = -1;
}

QStringList clsProtokoll::druckZeilen() const
{
    QStringList lines{QString()};
    if (m_aktiv & kListe) {
        lines << QStringLiteral("Protokoll von ") + kProductName + QStringLiteral("Version ") +
                     printerNumber(kVersionMajor) + QLatin1Char('.') +
                     printerNumber(kVersionMinor) + QLatin1Char('.') +
                     printerNumber(kVersionRevision);
        if (m_view) {
            for (int i = 0; i < m_view->count(); ++i)
                lines << druckzonen(m_view->item(i));
        }
    } else if (m_aktiv & kDatei) {
        lines << QStringLiteral("LogFile-name :") + m_dateiname << QString();
        QFile file(m_dateiname);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            QTextStream in(&file);
            while (!in.atEnd())
                lines << in.readLine();
        }
    }
    return lines;
}

bool clsProtokoll::drucken(QString* error)
{
    if (!m_printer) {
        if (error)
            *error = QStringLiteral("kein Drucker eingerichtet");
        return false;
    }
    QString reason;
    const bool ok = m_printer->printLines(druckZeilen(), &reason);
    if (error)
        *error = reason;
    return ok;
}

} // namespace vemro
