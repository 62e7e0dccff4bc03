#pragma once

namespace vemro {

// The progress display handed to long transfers (the main window's ctlFortschritt,
// a console line in vemro-cli, nothing in tests).
class ProgressIndicator
{
public:
    virtual ~ProgressIndicator() = default;
    virtual void setMinimum(int value) = 0;
    virtual void setMaximum(int value) = 0;
    virtual void setValue(int value) = 0;
    virtual void setVisible(bool visible) = 0;
    [[nodiscard]] virtual int minimum() const = 0;
    [[nodiscard]] virtual int maximum() const = 0;
    [[nodiscard]] virtual int value() const = 0;
};

// Keeps the numbers, shows nothing.
class NullProgress : public ProgressIndicator
{
public:
    void setMinimum(int value) override { m_min = value; }
    void setMaximum(int value) override { m_max = value; }
    void setValue(int value) override { m_value = value; }
    void setVisible(bool visible) override { m_visible = visible; }
    [[nodiscard]] int minimum() const override { return m_min; }
    [[nodiscard]] int maximum() const override { return m_max; }
    [[nodiscard]] int value() const override { return m_value; }
    [[nodiscard]] bool visible() const { return m_visible; }

private:
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
    bool m_visible = false;
};

} // namespace vemro
