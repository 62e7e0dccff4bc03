#include "editors/frmQMTestKeyboard.h"

#include "qmtest/QMKeyboardTest.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemro {

namespace {

const QString kOffen = QStringLiteral("background-color: rgb(255, 255, 255);");
const QString kGedrueckt = QStringLiteral("background-color: rgb(0, 192, 0);");

} // namespace

frmQMTestKeyboard::frmQMTestKeyboard(QMKeyboardTest& test, QWidget* parent)
    : QDialog(parent), m_test(&test)
{
    setObjectName(QStringLiteral("frmQMTestKeyboard"));
    setWindowTitle(QMKeyboardTest::kCaption);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QMKeyboardTest::kAnweisung, this));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QMKeyboardTest::kTastatur, this), 0, 0);
    for (int k = 0; k < QMKeyboardTest::kTasten; ++k) {
        auto* markFrame = new QFrame(this);
        markFrame->setObjectName(QStringLiteral("ctlTaste_%1").arg(k));
        markFrame->setFrameShape(QFrame::Box);
        markFrame->setFixedSize(28, 28);
        markFrame->setStyleSheet(kOffen);
        m_marks[static_cast<size_t>(k)] = markFrame;
        auto* number = new QLabel(QString::number(k + 1), this);
        number->setObjectName(QStringLiteral("lblTaste_%1").arg(k));
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(markFrame, 0, k + 1, Qt::AlignCenter);
        grid->addWidget(number, 1, k + 1);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setEnabled(false);
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    connect(&test, &QMKeyboardTest::keyMarked, this, &frmQMTestKeyboard::mark);
    connect(&test, &QMKeyboardTest::okEnabledChanged, m_ok, &QWidget::setEnabled);
    // The test's state ends with its step: the dialog closes at once. It is hidden now, as
    // a deletion would wait for the run's nested waits to end (the dialog stayed over the
    // log through every later step).
    connect(&test, &QObject::destroyed, this, [this] {
        hide();
        deleteLater();
    });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &frmQMTestKeyboard::reject);
    for (int k = 1; k <= QMKeyboardTest::kTasten; ++k) {
        if (test.pressed(k))
            mark(k);
    }
}

void frmQMTestKeyboard::mark(int key)
{
    if (key >= 1 && key <= QMKeyboardTest::kTasten)
        m_marks[static_cast<size_t>(key - 1)]->setStyleSheet(kGedrueckt);
}

void frmQMTestKeyboard::reject()
{
    if (m_test)
        m_test->cancel();
    QDialog::reject();
}

} // namespace vemro
