#pragma once

#include "qmtest/ProtokollView.h"

#include <QPointer>
#include <QWidget>

class QPrinter;

namespace vemro {

// Prints the test log: the print dialog where a printer exists, otherwise into a PDF file
// the user chooses. Lines keep their print zones (a fixed-pitch font).
class QtProtokollPrinter : public ProtokollPrinter
{
public:
    explicit QtProtokollPrinter(QWidget* parent = nullptr) : m_parent(parent) {}

    bool printLines(const QStringList& lines, QString* error) override;
    // Paints the lines onto a printer that is set up (pages as needed).
    static bool paint(QPrinter& printer, const QStringList& lines, QString* error);
    // Without any dialog: the lines as a PDF file.
    static bool printToPdf(const QString& path, const QStringList& lines, QString* error);

private:
    QPointer<QWidget> m_parent;
};

} // namespace vemro
