// Command table data and the function-key map read from the store.
#include "frame/CommandTable.h"
#include "common/Settings.h"
#include "framework/Resources.h"

namespace {
std::vector<NamedCommand>& Table()
{
    static std::vector<NamedCommand> table = {
        {L"Print", 1320, 0},        {L"View", 6500, 0},          {L"Edit", 1180, 0},
        {L"Copy", 1190, 4270},      {L"RenMove", 1370, 4290},    {L"MkDir", 1210, 0},
        {L"Delete", 1220, 4300},    {L"ExitWin", 1380, 0},       {L"File search", 6010, 4850},
        {L"Attributes", 6000, 4860}, {L"Associate", 6020, 4870}, {L"FileComp", 6030, 4880},
        {L"DirComp", 6200, 4890},   {L"CalcSpace", 6220, 4900},  {L"Refresh", 6380, 4910},
        {L"Invert", 6440, 4920},    {L"Zip", 6100, 0},           {L"FTP sites", 6257, 0},
        {L"Filter", 6035, 0},       {L"Select", 6040, 0},        {L"Deselect", 6050, 0},
        {L"OpenArch", 6430, 0},     {L"ZipSelf", 6110, 8010},    {L"Swap", 6520, 8020},
        {L"DirHist", 6530, 0},      {L"CD", 6510, 0},            {L"PrtDir", 6470, 0},
        {L"PrtTree", 6480, 0},      {L"DskProp", 6228, 8030},    {L"DskFrmt", 6227, 0},
        {L"DskCpy", 6229, 0},       {L"Connect", 6223, 8040},    {L"Discon", 6226, 8050},
        {L"ColSizes", 6540, 8220},  {L"Shortcut", 6550, 8230},   {L"SaveDir", 6560, 0},
        {L"SaveTree", 6570, 0},     {L"Exit", 6150, 4310},       {L"Synch", 6580, 0},
        {L"Eject", 6590, 0},
    };
    return table;
}
}

const std::vector<NamedCommand>& CommandTable() { return Table(); }

void LoadCommandNames()
{
    for (NamedCommand& command : Table()) {
        if (!command.stringId) continue;
        std::wstring text = fw::LoadStr(command.stringId);
        // Names are at most 19 characters, as the function-key bar shows them.
        if (!text.empty()) command.name = text.substr(0, 19);
    }
}

FunctionKeyMap ReadFunctionKeyMap()
{
    FunctionKeyMap map = {};
    int count = static_cast<int>(Table().size());
    for (int key = 2; key <= 10; ++key) {
        int value = GetProfileInt(L"FKeys", (L"FK" + std::to_wstring(key)).c_str(), -1);
        if (value == -1) value = key <= 9 ? key - 2 : count - 1;
        map.position[key - 2] = value;
    }
    return map;
}

int CommandAt(int position)
{
    if (position < 0 || position >= static_cast<int>(Table().size())) return 0;
    return Table()[position].id;
}

std::wstring CommandNameAt(int position)
{
    if (position < 0 || position >= static_cast<int>(Table().size())) return {};
    return Table()[position].name;
}
