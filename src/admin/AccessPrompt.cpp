#include "AccessPrompt.h"

#include "Messages.h"
#include "Session.h"

namespace kivo {

AccessPrompt::AccessPrompt(Session& session)
    : m_session(session)
{
}

void AccessPrompt::Confirm()
{
    if (txtField == m_session.login.EnterpriseAccessCode)
        m_session.AccessResult = QStringLiteral("Y");
    else
        m_session.messages.Notice(QStringLiteral("[InvaliD]"));
    closed = true;
}

} // namespace kivo
