#include "PageModel.h"

namespace kivo {

int PageModel::FontIndex(const QFont& font)
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == font)
            return int(i);
    m_fonts.push_back(font);
    return int(m_fonts.size()) - 1;
}

void PageModel::AddPage(Page page)
{
    // A finished page keeps no room to grow: over a long listing the slack would add up.
    page.items.shrink_to_fit();
    page.texts.squeeze();
    m_pages.push_back(std::move(page));
}

void PageModel::Clear()
{
    m_pages.clear();
    m_fonts.clear();
    m_pagesShown = 0;
}

} // namespace kivo
