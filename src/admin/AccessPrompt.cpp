#include "AccessPrompt.h"

#include "Messages.h"
#include "ProgramContext.h"

namespace kivo {

AccessPrompt::AccessPrompt(ProgramContext& context)
    : m_context(context)
{
}

void AccessPrompt::Confirm()
{
    if (txtField == m_context.login.EnterpriseAccessCode)
        granted = true;
    else
        m_context.messages.Notice(QStringLiteral("[InvaliD]"));
    closed = true;
}

} // namespace kivo
