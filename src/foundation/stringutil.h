// Strings, paths and folder listing: the trims that define a data-file line, lower-casing for
// names, number and colour conversions, the "$" root folder and the current folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CStringList;

extern std::string g_RootFolder;
extern std::string g_CurrentFolder;

void SetRootFolder(std::string path);
std::string GetRootFolder();
std::string ResolvePath(std::string path);
std::string SetCurrentFolder(std::string path);
std::string FolderOf(std::string path);
std::string FileNameOf(std::string path);
std::string StripExtension(std::string name);
bool ListFiles(CStringList& out, std::string pattern);
// What every loader of a whole folder does: SetCurrentFolder, then ListFiles of the pattern there.
// A named folder the process cannot enter lists nothing (ListFiles' printed line, with the code
// of the failed move), rather than the folder the process was left in; an empty folder text
// lists the current folder.
bool ListFolder(CStringList& out, std::string folder, std::string pattern);

std::string ToLower(const std::string& s);
std::string Trim(const std::string& s);
std::string TrimValue(const std::string& s);
// The same, as views of the text.
std::string_view TrimView(std::string_view s);
std::string_view TrimValueView(std::string_view s);

// The leading number, as a string stream reads it; a text with no leading number gives 0.
int StringToInt(const std::string& s);
float StringToFloat(const std::string& s);
std::string IntToString(int value);
std::string FloatToString(float value);

int HexDigit(char c);
std::uint32_t HexToUInt(const std::string& s);
