// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shift+T on a Wayland session: the desktop's GlobalShortcuts portal (xdg-desktop-portal 1.16 and
// later; KDE's back-end has it, GNOME's from 48). A session is made, Shift+T bound under the id
// "toggle-window" (the desktop may let the user choose another key), and the portal's Activated
// signal is a press. Requests answer through Request objects' Response signals.

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <map>
#include <optional>

namespace tolvane {

class GlobalShortcutsPortal final : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    explicit GlobalShortcutsPortal(QObject* parent = nullptr);
    ~GlobalShortcutsPortal() override;

    // Makes the session and binds Shift+T, waiting for the desktop's answers (it may ask the
    // user); false when there is no portal or it refused. trigger: what the desktop bound.
    bool bind(QString* trigger);
    // Closes the session: the shortcut goes.
    void unbind();

    std::function<void()> onActivated;

private slots:
    void response(uint code, const QVariantMap& results);
    void activated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                   const QVariantMap& options);

private:
    // Calls a portal method whose answer comes as a Response; the answer's results, or nullopt
    // when it failed, was refused or did not come.
    std::optional<QVariantMap> request(const QString& method, const QVariantList& arguments);

    QString m_session;
    std::map<QString, std::pair<uint, QVariantMap>> m_responses;  // by request path
    int m_tokens = 0;
};

}  // namespace tolvane
