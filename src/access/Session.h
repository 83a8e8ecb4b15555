#pragma once
// The operator logged in at this program: named by a successful login, read by every dialog
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

    // The one writer of the session: a successful login names the operator and the type. The
    // session in force stays until then, through 注销 and a login box that is cancelled.
    void SignIn(const QString& name, const QString& type);
    // Names no one.
    void SignOut();

    const QString& UserName() const { return m_strUserName; }
    const QString& UserType() const { return m_strUserType; }
    // The role test: an administrator's type is exactly "管理员".
    bool IsAdministrator() const;

private:
    struct Unregistered {};
    explicit Session(Unregistered) {}

    QString m_strUserName;
    QString m_strUserType;
};

// An operator signed in to the current session for as long as this lives, as by a login; the
// session names no one after. For tests, benchmarks and tools that act as one operator.
class SignedIn {
public:
    SignedIn(const QString& name, const QString& type) { Session::Current().SignIn(name, type); }
    ~SignedIn() { Session::Current().SignOut(); }
    SignedIn(const SignedIn&) = delete;
    SignedIn& operator=(const SignedIn&) = delete;
};
