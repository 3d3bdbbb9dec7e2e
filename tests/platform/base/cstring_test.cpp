// CString's clamping rules and searches.
#include "platform/base/cstring.h"

#include <gtest/gtest.h>

TEST(CString, SubstringsClampTheirArguments) {
  CString s("abcdef");
  EXPECT_EQ(s.Mid(2, 3), "cde");
  EXPECT_EQ(s.Mid(4, 100), "ef");
  EXPECT_EQ(s.Mid(10), "");
  EXPECT_EQ(s.Mid(-3, 2), "ab");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Left(99), "abcdef");
  EXPECT_EQ(s.Right(2), "ef");
  EXPECT_EQ(s.Right(99), "abcdef");
  EXPECT_EQ(s.GetAt(6), 0);
  EXPECT_EQ(s.GetAt(-1), 0);
}

TEST(CString, SearchesGiveZeroBasedPositions) {
  CString s("abcb");
  EXPECT_EQ(s.Find('b'), 1);
  EXPECT_EQ(s.Find('b', 2), 3);
  EXPECT_EQ(s.Find('b', 4), -1);
  EXPECT_EQ(s.Find("cb"), 2);
  EXPECT_EQ(s.Find("", 4), 4);
  EXPECT_EQ(s.ReverseFind('b'), 3);
  EXPECT_EQ(s.ReverseFind('z'), -1);
  EXPECT_EQ(s.FindOneOf("xc"), 2);
}

TEST(CString, EditingOperations) {
  CString s("  a,b,,c  ");
  s.Trim();
  EXPECT_EQ(s, "a,b,,c");
  EXPECT_EQ(s.Replace(",", ";;"), 3);
  EXPECT_EQ(s, "a;;b;;;;c");
  EXPECT_EQ(s.Remove(';'), 6);
  EXPECT_EQ(s, "abc");
  s.Insert(1, "XY");
  EXPECT_EQ(s, "aXYbc");
  s.Delete(3, 50);
  EXPECT_EQ(s, "aXY");
  s.Insert(99, 'z');
  EXPECT_EQ(s, "aXYz");
  EXPECT_EQ(CString("\xE9t\xE9").MakeUpper(), "\xC9T\xC9");
  EXPECT_EQ(CString("Hello").CompareNoCase("HELLO"), 0);
  EXPECT_EQ(CString("abc").SpanExcluding(",;"), "abc");
  EXPECT_EQ(CString("a,b").SpanExcluding(",;"), "a");
}

TEST(CString, KeepsBytesAndConvertsAtTheEdges) {
  CString s(std::string("a\0b", 3));
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_EQ(CString::FromUtf8("\xE2\x82\xAC").GetAt(0), '\x80');
  EXPECT_EQ(CString("\x80").ToUtf16(), u"\u20AC");
}
