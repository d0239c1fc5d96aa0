// SPDX-License-Identifier: MIT
// The HTTP fetcher: its request thread, its body as text, its proxy.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "scene_fixture.h"

namespace nova::test {
namespace {

TEST(HttpText, EucJapaneseBecomesShiftJisLinesJoinedWithByteOne) {
  const struct {
    std::string body, text;
  } cases[] = {
      {"a\nb", "a\x01"
               "b"},
      {"a\r\nb\r\n", "a\x01"
                     "b"},
      {std::string("x\0y", 3), "x y"},
      {"\xA4\xA2", "\x82\xA0"}, // hiragana a
      {"\xB4\xC1", "\x8A\xBF"}, // a kanji of an odd row
      {"\x8E\xB1", "\xB1"},     // half-width katakana
      {"\xA4", ""},             // a lone lead byte at the end
  };
  for (const auto& c : cases)
    EXPECT_EQ(HttpBodyText(c.body), c.text);
}

TEST(Http, FetchesOnItsOwnThreadAndTellsTheScriptWhenDone) {
  ResetRunState();
  std::string asked_url, asked_proxy;
  TNovaBaseList list(10, 10);
  list.SetHttpGet([&](const std::string& url, const std::string& proxy) {
    asked_url = url;
    asked_proxy = proxy;
    return std::string("line1\nline2");
  });
  auto* first = CreateComponent<TNovaHttp>(&list);
  first->SetName("list");
  first->SetProxy("proxy.local:8080");
  EXPECT_EQ(first->Proxy(), "proxy.local:8080");
  first->SetProp(PR_ONPLAYEND, TPropValue::Str("got"));
  first->SetProp(PR_SOURCE, TPropValue::Str("http://example.invalid/a"));
  first->WaitForRequest();
  while (list.Events().Count() == 0)
    list.UpdateStep();
  EXPECT_EQ(Drain(list), (std::vector<std::string>{"got"}));
  EXPECT_EQ(asked_url, "http://example.invalid/a");
  EXPECT_EQ(asked_proxy, "proxy.local:8080");
  EXPECT_EQ(first->GetProp(PR_TEXT).s, "line1\x01line2");

  // "!name" takes the URL from another component's data.
  auto* second = CreateComponent<TNovaHttp>(&list);
  second->SetProp(PR_SOURCE, TPropValue::Str("!list"));
  second->WaitForRequest();
  EXPECT_EQ(asked_url, "line1\nline2");
}

TEST(Http, WithoutAClientARequestEndsAtOnceWithAnEmptyBody) {
  ResetRunState();
  TNovaBaseList bare(10, 10);
  TNovaHttp orphan(nullptr);
  for (TNovaHttp* http : {CreateComponent<TNovaHttp>(&bare), &orphan}) {
    SCOPED_TRACE(http == &orphan ? "component without a scene" : "scene without a client");
    http->SetProp(PR_SOURCE, TPropValue::Str("http://example.invalid/"));
    http->WaitForRequest();
    http->Update();
    EXPECT_FALSE(http->Running());
    EXPECT_EQ(http->Body(), "");
  }
}

} // namespace
} // namespace nova::test
