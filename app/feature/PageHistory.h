// The pages shown in the main window's content panel, for showing the previous one again: a
// window opened from another (the composer from the contacts, the editor from a message) goes
// back to where it was opened from without knowing which window that was.
#pragma once

#include <QPointer>
#include <QWidget>

#include <cstddef>
#include <vector>

namespace feature {

class PageHistory {
public:
    // The page now on show; the one before it is remembered (a page shown again while on show
    // changes nothing).
    void shown(QWidget *page)
    {
        if (m_current && m_current != page) {
            m_before.push_back(m_current);
            if (m_before.size() > kRemembered)
                m_before.erase(m_before.begin());
        }
        m_current = page;
    }
    // Takes the latest page shown before the current one that still exists, and makes it the
    // current one; null when there is none. The page left is not remembered: going back twice
    // goes back twice.
    QWidget *back()
    {
        while (!m_before.empty()) {
            QPointer<QWidget> previous = m_before.back();
            m_before.pop_back();
            if (previous && previous != m_current) {
                m_current = previous;
                return previous;
            }
        }
        return nullptr;
    }
    // No page is on show (the welcome): nothing to go back to.
    void clear()
    {
        m_current = nullptr;
        m_before.clear();
    }

private:
    static constexpr size_t kRemembered = 16;
    QPointer<QWidget> m_current;
    std::vector<QPointer<QWidget>> m_before;
};

}  // namespace feature
