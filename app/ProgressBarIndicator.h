#pragma once

#include "platform/ProgressIndicator.h"

#include <QPointer>
#include <QProgressBar>

namespace vemro {

// The main window's progress bar as the progress display of long transfers.
class ProgressBarIndicator : public ProgressIndicator
{
public:
    explicit ProgressBarIndicator(QProgressBar* bar) : m_bar(bar) {}
    void setMinimum(int value) override
    {
        if (m_bar)
            m_bar->setMinimum(value);
    }
    void setMaximum(int value) override
    {
        if (m_bar)
            m_bar->setMaximum(value);
    }
    void setValue(int value) override
    {
        if (m_bar)
            m_bar->setValue(value);
    }
    void setVisible(bool visible) override
    {
        if (m_bar)
            m_bar->setVisible(visible);
    }
    [[nodiscard]] int minimum() const override { return m_bar ? m_bar->minimum() : 0; }
    [[nodiscard]] int maximum() const override { return m_bar ? m_bar->maximum() : 0; }
    [[nodiscard]] int value() const override { return m_bar ? m_bar->value() : 0; }

private:
    QPointer<QProgressBar> m_bar;
};

} // namespace vemro
