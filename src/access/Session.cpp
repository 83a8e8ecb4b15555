#include "access/Session.h"

namespace {
Session* g_current = nullptr;
} // namespace

Session::Session() {
    g_current = this;
}

Session::~Session() {
    if (g_current == this)
        g_current = nullptr;
}

Session& Session::Current() {
    static Session none{Unregistered{}};
    return g_current ? *g_current : none;
}

bool Session::IsAdministrator() const {
    return m_strUserType == QStringLiteral("管理员");
}

void Session::SignIn(const QString& name, const QString& type) {
    m_strUserName = name;
    m_strUserType = type;
}

void Session::SignOut() {
    m_strUserName.clear();
    m_strUserType.clear();
}
