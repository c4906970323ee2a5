#include "RecordScreen.h"

namespace kivo {

RecordScreen::RecordScreen(QString name, QString caption, QObject* parent)
    : QObject(parent)
    , name(std::move(name))
    , caption(std::move(caption))
    , rules(std::make_unique<ScreenRules>())
{
}

RecordScreen::~RecordScreen() = default;

void RecordScreen::SetText(int i, const QString& text)
{
    Field& f = fields.at(size_t(i));
    if (f.maxLength <= 0 || text.size() <= f.maxLength) {
        f.text = text;
        return;
    }
    // The limit counts characters: a character outside the basic plane is one, not two.
    qsizetype end = 0;
    for (int kept = 0; kept < f.maxLength && end < text.size(); ++kept)
        end += text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    f.text = text.left(end);
}

} // namespace kivo
