// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shift+T (and `tolvane --toggle`): the main window goes away and comes back while the bells ring
// on.

#include <QString>
#include <memory>

class QWidget;

namespace tolvane {

class HotKey;

// Shift+T and `tolvane --toggle`: hides the window when it shows, shows it when hidden.
void toggleWindow(QWidget& window);

// Shift+T, held while the settings ask for it; each press hides or shows the window.
class HotKeyToggle final {
public:
    explicit HotKeyToggle(QWidget& window);
    ~HotKeyToggle();

    // Takes Shift+T when wanted and not yet held. Each attempt takes the next id; a failed one
    // leaves none and says nothing.
    void want(bool wanted);
    // Takes Shift+T now; false when another program holds it or the desktop does not allow it.
    bool grab();
    void release();
    // A press reported under id: toggles the window when id is the held one's.
    void onPressed(int id);
    // The id Shift+T is held under; 0 when it is not held.
    int id() const { return m_id; }
    // What the desktop bound the key to where it says (a Wayland desktop's portal); else empty.
    QString trigger() const;

private:
    QWidget& m_window;
    std::unique_ptr<HotKey> m_hotKey;
    int m_id = 0;
    int m_nextId = 33001;
};

}  // namespace tolvane
