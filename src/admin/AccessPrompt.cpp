#include "AccessPrompt.h"

#include "Messages.h"
#include "PasswordHash.h"
#include "ProgramContext.h"

namespace kivo {

AccessPrompt::AccessPrompt(ProgramContext& context)
    : m_context(context)
{
}

void AccessPrompt::Confirm()
{
    if (PasswordHash::Matches(txtField, m_context.login.EnterpriseAccessCode, PasswordHash::LetterCase::Keep))
        granted = true;
    else
        m_context.messages.Notice(QStringLiteral("[InvaliD]"));
    closed = true;
}

} // namespace kivo
