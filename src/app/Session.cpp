#include "Session.h"

namespace kivo {

Session::Session(Messages& messages)
    : messages(messages)
    , errors(messages)
{
}

void Session::SetLocations(const Locations& value)
{
    locations = value;
    errors.SetLogFile(value.ErrorLogFile);
}

} // namespace kivo
