#include <foundation/StringsTable.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

using foundation::readStringsTable;
using foundation::StringsTable;

namespace {

// What Python makes of the text in the encoding: a third party's UTF-16, with its byte-order mark.
std::vector<std::uint8_t> encodedByPython(const std::string& text, const std::string& encoding)
{
    TemporaryFolder folder;
    writeBytes(folder.path() / "in.txt", text);
    auto path = folder.path() / "out.strings";
    auto result = runCommand("python3 -c \"import sys; open(sys.argv[2], 'wb').write(open(sys.argv[1], encoding='utf-8').read().encode('" + encoding + "'))\" '"
        + (folder.path() / "in.txt").string() + "' '" + path.string() + "'");
    EXPECT_EQ(result.status, 0) << result.output;
    return readBytes(path);
}

}

TEST(StringsTable, TheTextFormWithCommentsEscapesAndBareWords)
{
    std::string text = "/* Shortcut titles */\n"
                       "\"NEW_MESSAGE\" = \"Nouveau message\";   // the compose item\n"
                       "\"SEARCH\"=\"Rechercher\" ;\n"
                       "TITLE_3 = \"Tab\\there, line\\nbreak, \\\"quoted\\\", back\\\\slash\";\n"
                       "\"unicode\" = \"caf\\U00e9 \\U2615 \\UD83D\\UDE00\";\n"
                       "\"octal\" = \"\\101\\102\";\n"
                       "\"ALONE\";\n"
                       "\"SEARCH\" = \"Chercher\"; /* a later entry wins */\n";
    auto read = readStringsTable(bytesOf(text));
    ASSERT_TRUE(read) << read.error().message;
    StringsTable expected { { "NEW_MESSAGE", "Nouveau message" }, { "SEARCH", "Chercher" }, { "TITLE_3", "Tab\there, line\nbreak, \"quoted\", back\\slash" },
        { "unicode", "caf\xC3\xA9 \xE2\x98\x95 \xF0\x9F\x98\x80" }, { "octal", "AB" }, { "ALONE", "ALONE" } };
    EXPECT_EQ(*read, expected);

    // The same, in a dictionary's braces.
    auto braced = readStringsTable(bytesOf("{\n" + text + "}\n"));
    ASSERT_TRUE(braced) << braced.error().message;
    EXPECT_EQ(*braced, expected);
}

TEST(StringsTable, UTF16WithEitherByteOrderAndUTF8WithOrWithoutAMark)
{
    std::string text = "\"TITLE\" = \"Écrire un message — ☕ 😀\";\n\"SUBTITLE\" = \"à l'équipe\";\n";
    StringsTable expected { { "TITLE", "Écrire un message — ☕ 😀" }, { "SUBTITLE", "à l'équipe" } };
    for (const char* encoding : { "utf-16", "utf-16-be", "utf-8-sig", "utf-8" }) {
        SCOPED_TRACE(encoding);
        auto bytes = encodedByPython(text, encoding);
        if (std::string_view(encoding) == "utf-16-be")
            bytes.insert(bytes.begin(), { 0xFE, 0xFF }); // Python writes no mark for an explicit byte order
        auto read = readStringsTable(bytes);
        ASSERT_TRUE(read) << read.error().message;
        EXPECT_EQ(*read, expected);
    }
}

TEST(StringsTable, ABinaryOrXMLPropertyListMadeByPlistlibKeepsItsStringValues)
{
    TemporaryFolder folder;
    for (const char* format : { "FMT_BINARY", "FMT_XML" }) {
        SCOPED_TRACE(format);
        auto path = folder.path() / "InfoPlist.strings";
        auto result = runCommand(std::string("python3 -c \"import plistlib, sys; plistlib.dump({'TITLE': 'Rédiger', 'SUBTITLE': 'à tous', 'COUNT': 3}, "
                                             "open(sys.argv[1], 'wb'), fmt=plistlib.")
            + format + ")\" '" + path.string() + "'");
        ASSERT_EQ(result.status, 0) << result.output;
        auto read = readStringsTable(readBytes(path));
        ASSERT_TRUE(read) << read.error().message;
        EXPECT_EQ(*read, (StringsTable { { "TITLE", "Rédiger" }, { "SUBTITLE", "à tous" } })) << "a value other than a string is left out";
    }
}

TEST(StringsTable, MalformedTablesGiveNoneAndSayWhere)
{
    for (auto [text, line] : { std::pair { "\"A\" = \"B\"\n\"C\" = \"D\";", 2 }, std::pair { "\"A\" = ;", 1 }, std::pair { "\"A\" = \"unterminated;\n", 2 },
             std::pair { "\"A\" = \"B\"; /* open comment", 1 }, std::pair { "= \"B\";", 1 }, std::pair { "\"A\" = \"\\U12\";", 1 },
             std::pair { "{ \"A\" = \"B\"; } trailing", 1 } }) {
        SCOPED_TRACE(text);
        auto read = readStringsTable(bytesOf(std::string(text)));
        EXPECT_FALSE(read);
        EXPECT_EQ(read.error().message.rfind("line " + std::to_string(line) + ":", 0), 0u) << read.error().message;
    }
    EXPECT_FALSE(readStringsTable(bytesOf(std::string("\"A\" = \"B\0C\";", 12))).hasValue());
    EXPECT_FALSE(readStringsTable(bytesOf(std::string("bplist00 not really"))).hasValue());
    auto empty = readStringsTable({});
    ASSERT_TRUE(empty) << "an empty file is an empty table";
    EXPECT_TRUE(empty->empty());
}

// A high surrogate whose next escape is no low surrogate stands alone
// (U+FFFD), and that next escape is read again as a character of its own;
// as Python decodes the same units with errors="replace".
TEST(StringsTable, AHighSurrogateWithoutItsPairGivesAReplacementAndKeepsTheNextEscape)
{
    auto read = readStringsTable(bytesOf("\"a\" = \"\\UD83D\\U0041!\";\n\"b\" = \"\\uD83D\\uD83D\\uDE00\";\n"));
    ASSERT_TRUE(read) << read.error().message;
    auto python = runCommand(
        "python3 -c \"import sys; sys.stdout.buffer.write('\\ud83dA!'.encode('utf-16-le', 'surrogatepass').decode('utf-16-le', 'replace').encode())\"");
    EXPECT_EQ(read->at("a"), python.output);
    EXPECT_EQ(read->at("b"), "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}
