#include "ProgramContext.h"

#include "SeedData.h"

namespace kivo {

ProgramContext::ProgramContext(Messages& messages)
    : messages(messages)
    , errors(messages)
{
}

void ProgramContext::SetLocations(const Locations& value)
{
    locations = value;
    errors.SetLogFile(value.ErrorLogFile);
}

bool AdminAllowed(const ProgramContext& context)
{
    return IsYes(context.customization.CAdminDisp)
        || context.login.LoginName.compare(QString::fromLatin1(AdministratorLogin), Qt::CaseInsensitive) == 0;
}

} // namespace kivo
