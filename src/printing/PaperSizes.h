#pragma once

#include <QPageSize>
#include <QString>
#include <optional>
#include <vector>

// The paper list of the page setup, in list order, with the program's own paper codes and the
// page size each code asks of a printer.
namespace PaperSizes {
struct Paper
{
    QString name;
    int code;
};

// The 22 papers in list order.
const std::vector<Paper> &all();
// The list index of a paper code, -1 for a code not in the list.
int indexOfCode(int code);
// The page size a code asks for; nothing for a code with no fixed size (banners, user defined)
// or a code not in the list.
std::optional<QPageSize> pageSize(int code);
// The code of a page size, 0 when no paper of the list has that size.
int codeOf(const QPageSize &size);
} // namespace PaperSizes
