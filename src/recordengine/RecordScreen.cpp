#include "RecordScreen.h"

namespace kivo {

RecordScreen::RecordScreen(QString name, QString caption, QObject* parent)
    : QObject(parent)
    , name(std::move(name))
    , caption(std::move(caption))
{
}

void RecordScreen::SetText(int i, const QString& text)
{
    Field& f = fields.at(size_t(i));
    f.text = f.maxLength > 0 ? text.left(f.maxLength) : text;
}

void RecordScreen::RunRules(Session& session, ScreenHost& host, const QString& mode)
{
    if (rules)
        rules(session, host, *this, mode);
}

} // namespace kivo
