// The 40 named commands that the function-key bar offers, in their fixed order.
#pragma once
#include <string>
#include <vector>

struct NamedCommand {
    std::wstring name;
    int id;
    int stringId; // 0: the name stands as it is
};

// The table with the names replaced from the string table where a string id is given.
const std::vector<NamedCommand>& CommandTable();
void LoadCommandNames();

// The function-key map: the table position bound to F2 ... F10 ("FKeys"/"FK%d").
struct FunctionKeyMap {
    int position[9];
};
FunctionKeyMap ReadFunctionKeyMap();
// The command id the position names, or 0 when it names none.
int CommandAt(int position);
std::wstring CommandNameAt(int position);
