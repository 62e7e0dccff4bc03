#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace vemro {

class clsVX;

// The search for a terminal on serial ports 1 to 4 at 9600, 19200 and 38400 baud. It keeps
// the report rows (port, result) that the search dialog frmVXSuchen shows, and stops before
// the next port once cancelled.
class TerminalSearch : public QObject
{
    Q_OBJECT
public:
    struct Row
    {
        QString port;
        QString result;
    };
    struct Result
    {
        bool found = false;
        int port = 0;
        int speedIndex = -1;
    };

    explicit TerminalSearch(QObject* parent = nullptr);

    [[nodiscard]] const QList<Row>& rows() const { return m_rows; }
    [[nodiscard]] bool canceled() const { return m_canceled; }
    // Runs the search over the terminal's serial port.
    Result run(clsVX& terminal);

public slots:
    void cancel() { m_canceled = true; }

signals:
    void rowAdded(int row);
    void rowChanged(int row);

private:
    int addRow(const QString& port);
    void setResult(int row, const QString& result);

    QList<Row> m_rows;
    bool m_canceled = false;
};

} // namespace vemro
