#pragma once

namespace QXlsx {

// A cell format for Document::write. This layer sets no formats of its own: every Format is
// empty, and a cell written with an empty Format keeps the style it already had (or, for a new
// cell, takes its row's or column's style).
class Format
{
public:
    Format();
    bool isEmpty() const { return true; }
    bool isValid() const { return false; }
};

} // namespace QXlsx
