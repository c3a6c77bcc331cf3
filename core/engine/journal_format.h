#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A run's journal is a text file of lines, one record a line, each a keyword and fields
// separated by single blanks. Names keep their bytes exactly: every byte that is a blank or a
// control character, "%" or not ASCII is written as "%" and two hex digits, and an empty name
// as "%" alone, so that no name can break a line or a field. Numbers are decimal.
//
//   gleichwart-journal 1
//   start DEV INODE BIRTH PATH           the roots, absolute, as the run opened them
//   ziel DEV INODE BIRTH PATH
//   regel NAME TEXT
//   beginn UNIXSECONDS
//   behalten 0|1                         whether replaced files keep their old version
// then one record per action, in the order the run took them, each written before the action
// reaches the disk (TREE is S for the start tree, T for the target tree; paths are below the
// root, a folder's ending in "/"; a file is DEV INODE SIZE MTIME-NANOSECONDS):
//   neu TREE PATH FILE                   a file made
//   ersetzt TREE PATH FILE OLDFILE TRASH NAME   replaced; the old version in the trash (or %)
//   papierkorb TREE PATH FILE TRASH NAME moved into the trash
//   geloescht TREE PATH SIZE MTIME       deleted for good
//   ordner-neu TREE PATH                 a folder made
//   ordner-weg TREE PATH MODE TRASH NAME a folder removed, into the trash (or % %)
//   nicht N                              the N-th action (from 0) did not happen
// and at last:
//   ende UNIXSECONDS                     the run came to its end
//   rueckgaengig UNIXSECONDS             the run was undone
namespace journal {

inline constexpr std::string_view kMagic = "gleichwart-journal 1";

// Appends a blank and the escaped bytes.
void AddName(std::string& line, std::string_view bytes);
// Appends a blank and the number.
void AddNumber(std::string& line, std::int64_t n);
void AddNumber(std::string& line, std::uint64_t n);

// The fields of one line (without its "\n").
std::vector<std::string_view> Fields(std::string_view line);
// The bytes of an escaped name; false when it is not one.
bool ReadName(std::string_view field, std::string& out);
bool ReadNumber(std::string_view field, std::int64_t& n);
bool ReadNumber(std::string_view field, std::uint64_t& n);

// The file names of the journals: "abgleich-" and ten digits, ".journal"; numbers grow with
// every run, so that the names sort in the order of the runs.
std::string FileName(std::uint64_t number);
// The number in such a name; false for any other name.
bool FileNumber(std::string_view name, std::uint64_t& number);

} // namespace journal
