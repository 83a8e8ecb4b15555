#pragma once
// The operator logged in at this program: written by a successful login, read by every dialog
// that records who did the work or grants rights by role.
#include <QString>

class Session {
public:
    // The session made last is the current one until it ends (in the program: the application's).
    Session();
    virtual ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The current session; an empty one while no session object exists.
    static Session& Current();

    // The role test: an administrator's type is exactly "管理员".
    bool IsAdministrator() const;

    QString m_strUserName;
    QString m_strUserType;

private:
    struct Unregistered {};
    explicit Session(Unregistered) {}
};
