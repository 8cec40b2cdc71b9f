// The real listener driven through COM fakes: each set-up step failing in turn, scripted
// events and time-outs, the stop flag, and every interface released exactly as often as it
// was handed out.
#include "keywatch/event-listener-win.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "common/com-fake-win.h"

namespace {

using orvo::testing::FakeCom;

#define NOT_USED(...) \
  override { return E_NOTIMPL; }

class FakeEvent final : public FakeCom<IWbemClassObject> {
public:
  explicit FakeEvent(VARIANT value, HRESULT getResult = S_OK) : value_(value), getResult_(getResult) {}
  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* out, CIMTYPE* type, LONG* flavour) override {
    askedName = name ? name : L"(null)";
    askedFlags = flags;
    askedTypeOrFlavour = type != nullptr || flavour != nullptr;
    variantWasEmpty = V_VT(out) == VT_EMPTY;
    if (FAILED(getResult_)) return getResult_;
    *out = value_;
    return S_OK;
  }
  std::wstring askedName;
  LONG askedFlags = -1;
  bool askedTypeOrFlavour = true;
  bool variantWasEmpty = false;
  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) NOT_USED()
  HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) NOT_USED()
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) NOT_USED()
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) NOT_USED()
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) NOT_USED()
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) NOT_USED()
  HRESULT STDMETHODCALLTYPE EndEnumeration() NOT_USED()
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) NOT_USED()
  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) NOT_USED()
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) NOT_USED()
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) NOT_USED()
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) NOT_USED()
  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) NOT_USED()
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) NOT_USED()
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) NOT_USED()
  HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() NOT_USED()
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) NOT_USED()
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) NOT_USED()

private:
  VARIANT value_;
  HRESULT getResult_;
};

VARIANT Int32(LONG value) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

// One scripted result of IEnumWbemClassObject::Next.
struct Step {
  HRESULT result;
  FakeEvent* event;  // handed out when not null
};

class FakeEnum final : public FakeCom<IEnumWbemClassObject> {
public:
  std::deque<Step> script;
  std::vector<std::pair<LONG, ULONG>> calls;  // time-out, count
  bool* stopWhenEmpty = nullptr;
  HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
    calls.emplace_back(timeout, count);
    *returned = 0;
    if (script.empty()) {
      *stopWhenEmpty = true;
      return WBEM_S_TIMEDOUT;
    }
    const Step step = script.front();
    script.pop_front();
    if (step.event) {
      *objects = step.event;
      *returned = 1;
    }
    if (script.empty()) *stopWhenEmpty = true;
    return step.result;
  }
  HRESULT STDMETHODCALLTYPE Reset() NOT_USED()
  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) NOT_USED()
};

class FakeServices final : public FakeCom<IWbemServices> {
public:
  HRESULT queryResult = S_OK;
  FakeEnum* events = nullptr;
  std::wstring language, query;
  LONG flags = 0;
  bool context = true;
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR lang, const BSTR text, LONG f, IWbemContext* ctx,
                                                  IEnumWbemClassObject** out) override {
    language = lang ? lang : L"";
    query = text ? text : L"";
    flags = f;
    context = ctx != nullptr;
    if (FAILED(queryResult)) return queryResult;
    *out = events;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**) NOT_USED()
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) NOT_USED()
  HRESULT STDMETHODCALLTYPE GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**) NOT_USED()
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) NOT_USED()
  HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) NOT_USED()
  HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) NOT_USED()
  HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) NOT_USED()
  HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) NOT_USED()
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) NOT_USED()
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
      NOT_USED()
  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                       IWbemClassObject**, IWbemCallResult**) NOT_USED()
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                            IWbemObjectSink*) NOT_USED()
};

class FakeLocator final : public FakeCom<IWbemLocator> {
public:
  HRESULT connectResult = S_OK;
  FakeServices* services = nullptr;
  std::wstring space;
  bool anyOther = true;
  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR user, const BSTR password, const BSTR locale,
                                          LONG securityFlags, const BSTR authority, IWbemContext* ctx,
                                          IWbemServices** out) override {
    space = resource ? resource : L"";
    anyOther = user || password || locale || securityFlags || authority || ctx;
    if (FAILED(connectResult)) return connectResult;
    *out = services;
    return S_OK;
  }
};

#undef NOT_USED

class FakePlatform final : public ListenerPlatform {
public:
  HRESULT initResult = S_OK, securityResult = S_OK, locatorResult = S_OK, blanketResult = S_OK;
  FakeLocator* locator = nullptr;
  bool stop = false;
  std::vector<std::string> calls;
  std::vector<std::uint32_t> forwarded;
  std::vector<std::string> lines;
  IWbemServices* blanketOn = nullptr;
  // Reference counts seen when each event was forwarded (the event must still be alive).
  std::vector<long> eventAliveAtForward;
  FakeEvent* current = nullptr;

  HRESULT InitializeCom() override {
    calls.push_back("init");
    return initResult;
  }
  HRESULT InitializeSecurity() override {
    calls.push_back("security");
    return securityResult;
  }
  HRESULT CreateLocator(IWbemLocator** out) override {
    calls.push_back("locator");
    if (FAILED(locatorResult)) return locatorResult;
    *out = locator;
    return S_OK;
  }
  HRESULT SetProxyBlanket(IWbemServices* services) override {
    calls.push_back("blanket");
    blanketOn = services;
    return blanketResult;
  }
  void UninitializeCom() override { calls.push_back("uninit"); }
  bool StopRequested() override { return stop; }
  void ForwardEvent(std::uint32_t id) override {
    calls.push_back("forward " + std::to_string(id));
    forwarded.push_back(id);
  }
  void WriteConsoleLine(const std::string& line) override { lines.push_back(line); }
  void Pause(DWORD ms) override { calls.push_back("pause " + std::to_string(ms)); }
};

struct World {
  FakeEnum events;
  FakeServices services;
  FakeLocator locator;
  FakePlatform platform;
  World() {
    services.events = &events;
    locator.services = &services;
    platform.locator = &locator;
    events.stopWhenEmpty = &platform.stop;
  }
};

using Calls = std::vector<std::string>;

TEST(Listener, EachSetupStepFailingReleasesWhatItHadAndEndsWith1) {
  const HRESULT kFail = static_cast<HRESULT>(0x80041010);
  const struct {
    const char* name;
    int failing;  // 1 init .. 6 subscription
    Calls calls;
    int locatorReleases, servicesReleases;
  } rows[] = {
      {"COM initialisation", 1, {"init"}, 0, 0},
      {"security", 2, {"init", "security", "uninit"}, 0, 0},
      {"locator", 3, {"init", "security", "locator", "uninit"}, 0, 0},
      {"connection", 4, {"init", "security", "locator", "uninit"}, 1, 0},
      {"blanket", 5, {"init", "security", "locator", "blanket", "uninit"}, 1, 1},
      {"subscription", 6, {"init", "security", "locator", "blanket", "uninit"}, 1, 1},
  };
  for (const auto& row : rows) {
    World w;
    w.platform.initResult = row.failing == 1 ? kFail : S_OK;
    w.platform.securityResult = row.failing == 2 ? kFail : S_OK;
    w.platform.locatorResult = row.failing == 3 ? kFail : S_OK;
    w.locator.connectResult = row.failing == 4 ? kFail : S_OK;
    w.platform.blanketResult = row.failing == 5 ? kFail : S_OK;
    w.services.queryResult = row.failing == 6 ? kFail : S_OK;
    const DWORD exitCode = RunEventListenerOn(w.platform);
    EXPECT_EQ(exitCode, 1u) << row.name;
    EXPECT_EQ(w.platform.calls, row.calls) << row.name;
    EXPECT_EQ(w.locator.releases, row.locatorReleases) << row.name;
    EXPECT_EQ(w.services.releases, row.servicesReleases) << row.name;
    EXPECT_EQ(w.events.releases, 0) << row.name;
    EXPECT_TRUE(w.platform.forwarded.empty()) << row.name;
    if (row.failing == 1) {
      ASSERT_EQ(w.platform.lines.size(), 1u) << row.name;
      EXPECT_EQ(w.platform.lines[0], "Failed to initialize COM library. Error code = 0x80041010\n");
    } else {
      EXPECT_TRUE(w.platform.lines.empty()) << row.name << ": only a failed COM initialisation is reported";
    }
  }
}

TEST(Listener, ConsoleLineIsLowerCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(ComFailureLine(static_cast<HRESULT>(0x8001010E)),
            "Failed to initialize COM library. Error code = 0x8001010e\n");
  EXPECT_EQ(ComFailureLine(static_cast<HRESULT>(0x80004005)),
            "Failed to initialize COM library. Error code = 0x80004005\n");
  EXPECT_EQ(ComFailureLine(static_cast<HRESULT>(0x1ab)), "Failed to initialize COM library. Error code = 0x1ab\n");
}

TEST(Listener, SetupPassesTheExpectedArguments) {
  World w;
  w.platform.stop = true;
  EXPECT_EQ(RunEventListenerOn(w.platform), 0u);
  EXPECT_EQ(w.locator.space, L"ROOT\\WMI");
  EXPECT_FALSE(w.locator.anyOther) << "user, password, locale, flags, authority and context are all empty";
  EXPECT_EQ(w.platform.blanketOn, &w.services);
  EXPECT_EQ(w.services.language, L"WQL");
  EXPECT_EQ(w.services.query, L"SELECT * FROM kroBEvnt");
  EXPECT_EQ(w.services.flags, 0x30);
  EXPECT_FALSE(w.services.context);
  EXPECT_TRUE(w.events.calls.empty()) << "a stop before the first pass waits for nothing";
  EXPECT_EQ(w.platform.calls, (Calls{"init", "security", "locator", "blanket", "uninit"}));
  EXPECT_EQ(w.events.releases, 1);
  EXPECT_EQ(w.services.releases, 1);
  EXPECT_EQ(w.locator.releases, 1);
}

TEST(Listener, EventsAreForwardedInOrderAndEachIsReleased) {
  World w;
  FakeEvent four(Int32(4)), two(Int32(2)), seven(Int32(7)), big(Int32(static_cast<LONG>(0xC1010001)));
  w.events.script = {{WBEM_S_TIMEDOUT, nullptr}, {S_OK, &four}, {S_OK, &two}, {WBEM_S_TIMEDOUT, nullptr},
                     {S_OK, &seven},           {S_OK, &big}};
  EXPECT_EQ(RunEventListenerOn(w.platform), 0u);
  EXPECT_EQ(w.platform.forwarded, (std::vector<std::uint32_t>{4, 2, 7, 0xC1010001}));
  for (FakeEvent* e : {&four, &two, &seven, &big}) {
    EXPECT_EQ(e->releases, 1) << "event " << e;
    EXPECT_EQ(e->refs, 0);
    EXPECT_EQ(e->askedName, L"EventID");
    EXPECT_EQ(e->askedFlags, 0);
    EXPECT_FALSE(e->askedTypeOrFlavour);
    EXPECT_TRUE(e->variantWasEmpty) << "the variant is cleared before each read";
  }
  for (const auto& call : w.events.calls) {
    EXPECT_EQ(call.first, 1000);
    EXPECT_EQ(call.second, 1u);
  }
  EXPECT_EQ(w.events.calls.size(), 6u) << "the stop flag is looked at once per pass";
  EXPECT_EQ(w.events.refs, 0);
  EXPECT_EQ(w.services.refs, 0);
  EXPECT_EQ(w.locator.refs, 0);
  EXPECT_EQ(w.platform.calls.back(), "uninit");
}

TEST(Listener, OddResultsOfTheWaitNeitherReadNorSpin) {
  World w;
  VARIANT text;
  ::VariantInit(&text);
  V_VT(&text) = VT_NULL;
  FakeEvent unreadable(Int32(9), static_cast<HRESULT>(WBEM_E_NOT_FOUND)), notInteger(text), good(Int32(5));
  w.events.script = {{static_cast<HRESULT>(WBEM_E_FAILED), nullptr},  // failed wait: nothing delivered
                     {S_OK, nullptr},           // success that delivered nothing
                     {S_OK, &unreadable},
                     {S_OK, &notInteger},
                     {S_OK, &good}};
  EXPECT_EQ(RunEventListenerOn(w.platform), 0u);
  EXPECT_EQ(w.platform.forwarded, (std::vector<std::uint32_t>{5}));
  EXPECT_EQ(w.platform.calls, (Calls{"init", "security", "locator", "blanket", "pause 1000", "pause 1000",
                                     "forward 5", "uninit"}));
  for (FakeEvent* e : {&unreadable, &notInteger, &good}) EXPECT_EQ(e->refs, 0) << "event " << e;
}

}  // namespace
