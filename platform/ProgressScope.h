#pragma once

#include "platform/ProgressIndicator.h"

namespace vemro {

// Shows the progress display for the length of a transfer and hides it again on every
// way out of it. Without a display (nullptr) it does nothing.
class ProgressScope
{
public:
    ProgressScope(ProgressIndicator* progress, int maximum, int start = 0) : m_progress(progress)
    {
        if (!m_progress)
            return;
        m_progress->setMinimum(0);
        m_progress->setMaximum(maximum);
        m_progress->setValue(start);
        m_progress->setVisible(true);
    }
    ~ProgressScope()
    {
        if (m_progress)
            m_progress->setVisible(false);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // One step further, never past the maximum.
    void step()
    {
        if (m_progress && m_progress->value() < m_progress->maximum())
            m_progress->setValue(m_progress->value() + 1);
    }
    void set(int value)
    {
        if (m_progress)
            m_progress->setValue(value);
    }

private:
    ProgressIndicator* m_progress;
};

} // namespace vemro
