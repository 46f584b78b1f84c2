#pragma once

#include <QString>
#include <array>

// One row of the fixed table of the fourteen categories.
struct Category
{
    int number;          // 1 .. 14, the button Image<number>
    QString tooltip;     // the button's tooltip
    QString listFile;    // relative to the application folder
    QString infoPage;    // appended to the information site's URL
    QString sound;       // WAVE resource played on switching
    int normalPicture;   // bitmap resource 100 + number
    int selectedPicture; // bitmap resource 200 + number
    bool optionsEnabled; // play-all and repeat-one usable
};

namespace CategoryTable {

inline constexpr int Count = 14;

// Row n (1 .. 14).
const Category &row(int number);
const std::array<Category, Count> &rows();

} // namespace CategoryTable
