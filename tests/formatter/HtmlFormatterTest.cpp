// The formatter object through its vtable and through late binding by name; the
// pages it writes are compared with what the page writers write for the same lists.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/util/DispatchProperties.h"
#include "formatter/styles/PageStyles.h"
#include "platform/com/Bstr.h"
#include "tests/formatter/CorvaneTestSupport.h"
#include "tests/support/FolderTree.h"

namespace {

constexpr const char* kOfferedStyles = "All,Thumbs,SlideShow,Tile,TileMultipage,Multiview,Zoom";

std::string Got(HRESULT (IHtmlFormatter::*getter)(BSTR*), IHtmlFormatter* formatter) {
    ScopedBstr value;
    EXPECT_EQ((formatter->*getter)(value.receive()), S_OK);
    return value.utf8();
}

class HtmlFormatterTest : public CorvaneTest {
protected:
    // What the page writers write for these lists, read back.
    std::string Expected(const StringArray& images, const StringArray& comments,
                         const StringArray& names, const std::string& title,
                         const std::string& style, PageSize size) {
        const std::string path = Page("expected-" + std::to_string(++expected_) + ".htm");
        SavePageInStyle(images, comments, names, title, style, path, size);
        return Text(path);
    }
    int expected_ = 0;
};

TEST_F(HtmlFormatterTest, AFreshObjectWritesTheAllPageTitledAll) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    EXPECT_EQ(Got(&IHtmlFormatter::get_style, formatter.get()), "All");
    EXPECT_EQ(Got(&IHtmlFormatter::get_title, formatter.get()), "All");
    EXPECT_EQ(Got(&IHtmlFormatter::get_styles, formatter.get()), kOfferedStyles);
    EXPECT_EQ(Got(&IHtmlFormatter::get_style, formatter.get()), "All");

    EXPECT_EQ(formatter->save(ScopedBstr(Page("fresh.htm")).get()), S_OK);
    EXPECT_EQ(Text(Page("fresh.htm")), Expected({}, {}, {}, "All", "All", {0, 0}));
}

TEST_F(HtmlFormatterTest, ListsAreSplitAndOnlyEverAppended) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    const ScopedBstr three("a.jpg,b.jpg\r\nc.jpg");
    EXPECT_EQ(formatter->addImages(three.get()), S_OK);
    EXPECT_EQ(formatter->addComments(three.get()), S_OK);  // two: the first keeps its comma
    EXPECT_EQ(formatter->addImages(ScopedBstr(",d.png,,").get()), S_OK);
    EXPECT_EQ(formatter->addNames(ScopedBstr("A\nB\rC,D").get()), S_OK);
    EXPECT_EQ(formatter->addComments(ScopedBstr("third\tfourth").get()), S_OK);
    EXPECT_EQ(formatter->put_style(ScopedBstr("Data").get()), S_OK);
    EXPECT_EQ(formatter->save(ScopedBstr(Page("data.htm")).get()), S_OK);
    EXPECT_EQ(Text(Page("data.htm")), Expected({"a.jpg", "b.jpg", "c.jpg", "d.png"},
                                               {"a.jpg,b.jpg", "c.jpg", "third", "fourth"},
                                               {"A", "B", "C", "D"}, "All", "Data", {0, 0}));
}

TEST_F(HtmlFormatterTest, SaveTakesTheZoomSizeAsTheImageHeight) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    formatter->addImages(ScopedBstr("x.jpg,y.jpg").get());
    EXPECT_EQ(formatter->size(640, 300), S_OK);
    formatter->save(ScopedBstr(Page("no-height.htm")).get());
    EXPECT_EQ(Text(Page("no-height.htm")),
              Expected({"x.jpg", "y.jpg"}, {}, {}, "All", "All", {640, 0}));

    EXPECT_EQ(formatter->put_zoomSize(120), S_OK);
    EXPECT_EQ(formatter->put_style(ScopedBstr("zoom").get()), S_OK);
    formatter->save(ScopedBstr(Page("zoom.htm")).get());
    EXPECT_EQ(Text(Page("zoom.htm")),
              Expected({"x.jpg", "y.jpg"}, {}, {}, "All", "zoom", {640, 120}));
}

TEST_F(HtmlFormatterTest, TextsCrossAsBstrsInBothDirections) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    const std::string title = "Bilder f\xC3\xBCr dich \xE6\x97\xA5";
    EXPECT_EQ(formatter->put_title(ScopedBstr(title).get()), S_OK);
    EXPECT_EQ(Got(&IHtmlFormatter::get_title, formatter.get()), title);
    EXPECT_EQ(formatter->put_style(ScopedBstr("Anything at all").get()), S_OK);
    EXPECT_EQ(Got(&IHtmlFormatter::get_style, formatter.get()), "Anything at all");
    // A null BSTR is the empty text.
    EXPECT_EQ(formatter->put_title(nullptr), S_OK);
    EXPECT_EQ(Got(&IHtmlFormatter::get_title, formatter.get()), "");
    EXPECT_EQ(formatter->addImages(nullptr), S_OK);

    formatter->put_title(ScopedBstr(title).get());
    formatter->put_style(ScopedBstr("Thumbs").get());
    formatter->addImages(ScopedBstr("caf\xC3\xA9.jpg").get());
    formatter->save(ScopedBstr(Page("thumbs.htm")).get());
    EXPECT_EQ(Text(Page("thumbs.htm")),
              Expected({"caf\xC3\xA9.jpg"}, {}, {}, title, "Thumbs", {0, 0}));
}

TEST_F(HtmlFormatterTest, AGetterGivenANullPointerAnswersEPointer) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    EXPECT_EQ(formatter->get_style(nullptr), E_POINTER);
    EXPECT_EQ(formatter->get_styles(nullptr), E_POINTER);
    EXPECT_EQ(formatter->get_title(nullptr), E_POINTER);
    EXPECT_EQ(Got(&IHtmlFormatter::get_style, formatter.get()), "All");
}

TEST_F(HtmlFormatterTest, ASaveThatCannotWriteStillAnswersSOk) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    EXPECT_EQ(formatter->save(ScopedBstr(Page("missing-folder/page.htm")).get()), S_OK);
    EXPECT_FALSE(FileIsReadable(Page("missing-folder/page.htm")));
    // A NUL inside the path would cut it short and name another file.
    const std::string cut = Page("cut.htm");
    EXPECT_EQ(formatter->save(ScopedBstr(cut + std::string("\0.bak", 5)).get()), S_OK);
    EXPECT_FALSE(FileIsReadable(cut));
    // The object goes on working.
    EXPECT_EQ(formatter->save(ScopedBstr(cut).get()), S_OK);
    EXPECT_TRUE(FileIsReadable(cut));
}

TEST_F(HtmlFormatterTest, AWriteThatFailsPartWayStillAnswersSOkAndKeepsTheOldPage) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    std::string items;
    for (int i = 0; i < 200; ++i)
        items += "http://h.x/pictures/picture-" + std::to_string(i) + ".jpg,";
    formatter->addImages(ScopedBstr(items).get());
    const std::string folder = MakeTestFolder("limited");
    const std::string path = folder + "/page.htm";
    ASSERT_TRUE(WriteFileBytes(path, "an earlier page"));

    // A file-size limit makes a write fail after the page has been opened.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const HRESULT limited = formatter->save(ScopedBstr(path).get());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(limited, S_OK);
    EXPECT_EQ(Text(path), "an earlier page");
    EXPECT_EQ(FilesBelow(folder), std::vector<std::string>{"page.htm"});  // no stray part
    // The object goes on working: without the limit the whole page is written.
    EXPECT_EQ(formatter->save(ScopedBstr(path).get()), S_OK);
    EXPECT_NE(Text(path).find("picture-199.jpg"), std::string::npos);
}

TEST_F(HtmlFormatterTest, TheFileStyleWritesItsAddressList) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    formatter->put_style(ScopedBstr("File").get());
    formatter->addImages(ScopedBstr("mailto:me@example.com,song.mp3,pic.png").get());
    formatter->save(ScopedBstr(Page("files.htm")).get());
    const std::string expected =
        Expected({"mailto:me@example.com", "song.mp3", "pic.png"}, {}, {}, "All", "File", {0, 0});
    EXPECT_EQ(Text(Page("files.htm")), expected);
    EXPECT_EQ(Text(Page("files.htm.txt")), Text(Page("expected-1.htm.txt")));
    EXPECT_NE(Text(Page("files.htm.txt")).find("me@example.com"), std::string::npos);
}

TEST_F(HtmlFormatterTest, EveryInterfaceOfTheObjectIsTheSameObject) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    ComPointer<IUnknown> unknown = formatter.query<IUnknown>();
    ComPointer<IDispatch> dispatch = formatter.query<IDispatch>();
    EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(formatter.get()));
    EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(formatter.get()));
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(formatter->QueryInterface(IID_IRunnableObject, &factory), E_NOINTERFACE);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(OleRun(formatter.get()), S_OK);
    UINT count = 9;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

// The binary contract with callers built apart from Corvane: slot 7 onwards, after
// IUnknown's three and IDispatch's four, in the interface's order.
TEST_F(HtmlFormatterTest, TheSlotsFollowIDispatchsSevenInOrder) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ASSERT_TRUE(formatter);
    void* self = formatter.get();
    void** slots = *static_cast<void***>(self);
    const auto slot = [&](int index) { return slots[index]; };
    using Getter = HRESULT (*)(void*, BSTR*);
    using Putter = HRESULT (*)(void*, BSTR);
    using Size = HRESULT (*)(void*, int, int);
    using Zoom = HRESULT (*)(void*, LONG);

    ScopedBstr value;
    reinterpret_cast<Putter>(slot(8))(self, ScopedBstr("Data").get());  // style put
    reinterpret_cast<Getter>(slot(7))(self, value.receive());           // style get
    EXPECT_EQ(value.utf8(), "Data");
    reinterpret_cast<Getter>(slot(9))(self, value.receive());  // styles get
    EXPECT_EQ(value.utf8(), kOfferedStyles);
    reinterpret_cast<Putter>(slot(11))(self, ScopedBstr("a.jpg").get());  // addImages
    reinterpret_cast<Putter>(slot(13))(self, ScopedBstr("T").get());      // title put
    reinterpret_cast<Getter>(slot(12))(self, value.receive());            // title get
    EXPECT_EQ(value.utf8(), "T");
    reinterpret_cast<Putter>(slot(14))(self, ScopedBstr("note").get());             // addComments
    reinterpret_cast<Size>(slot(15))(self, 1, 2);                                   // size
    reinterpret_cast<Putter>(slot(16))(self, ScopedBstr("n").get());                // addNames
    reinterpret_cast<Zoom>(slot(17))(self, 0);                                      // zoomSize put
    reinterpret_cast<Putter>(slot(10))(self, ScopedBstr(Page("slots.htm")).get());  // save
    EXPECT_EQ(Text(Page("slots.htm")), Expected({"a.jpg"}, {"note"}, {"n"}, "T", "Data", {1, 0}));
}

TEST_F(HtmlFormatterTest, NamesGiveTheInterfacesDispids) {
    ComPointer<IDispatch> dispatch = Create().query<IDispatch>();
    ASSERT_TRUE(dispatch);
    const struct {
        const char16_t* name;
        DISPID dispid;
    } members[] = {{u"style", 1},
                   {u"styles", 2},
                   {u"save", 3},
                   {u"addImages", 4},
                   {u"title", 5},
                   {u"addComments", 6},
                   {u"size", 7},
                   {u"addNames", 8},
                   {u"zoomSize", 9},
                   {u"ZOOMSIZE", 9},
                   {u"clear", DISPID_UNKNOWN}};
    for (const auto& member : members) {
        std::u16string name = member.name;
        OLECHAR* names[] = {name.data()};
        DISPID dispid = 0;
        dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &dispid);
        EXPECT_EQ(dispid, member.dispid) << Utf16ToUtf8(name);
    }
}

// Invokes a method by name with its arguments in their natural order.
HRESULT CallByName(IDispatch* dispatch, const char16_t* member, std::vector<VARIANT> arguments) {
    std::u16string name = member;
    OLECHAR* names[] = {name.data()};
    DISPID dispid = DISPID_UNKNOWN;
    const HRESULT found =
        dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &dispid);
    if (FAILED(found))
        return found;
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    return dispatch->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params,
                            nullptr, nullptr, nullptr);
}

TEST_F(HtmlFormatterTest, LateBoundCallsDoWhatTheVtableDoes) {
    ComPointer<IHtmlFormatter> formatter = Create();
    ComPointer<IDispatch> dispatch = formatter.query<IDispatch>();
    ASSERT_TRUE(dispatch);
    EXPECT_EQ(GetStringProperty(dispatch.get(), "style"), "All");
    EXPECT_EQ(GetStringProperty(dispatch.get(), "styles"), kOfferedStyles);
    EXPECT_TRUE(PutProperty(dispatch.get(), "style", "Zoom"));
    EXPECT_TRUE(PutProperty(dispatch.get(), "title", "Late"));
    EXPECT_TRUE(PutProperty(dispatch.get(), "zoomSize", 90));
    EXPECT_EQ(GetStringProperty(dispatch.get(), "style"), "Zoom");
    EXPECT_EQ(GetStringProperty(dispatch.get(), "TITLE"), "Late");
    // zoomSize is write-only, styles read-only.
    EXPECT_FALSE(HasProperty(dispatch.get(), "zoomSize"));
    EXPECT_FALSE(PutProperty(dispatch.get(), "styles", "All"));
    EXPECT_EQ(GetStringProperty(dispatch.get(), "styles"), kOfferedStyles);

    EXPECT_EQ(
        CallByName(dispatch.get(), u"size", {VariantFromInteger(800), VariantFromInteger(600)}),
        S_OK);
    EXPECT_EQ(CallByName(dispatch.get(), u"addImages", {VariantFromText("p.jpg,q.jpg")}), S_OK);
    EXPECT_EQ(
        CallByName(dispatch.get(), u"addComments", {VariantFromText("http://x/p\thttp://x/q")}),
        S_OK);
    EXPECT_EQ(CallByName(dispatch.get(), u"addNames", {VariantFromText("P,Q")}), S_OK);
    EXPECT_EQ(CallByName(dispatch.get(), u"save", {VariantFromText(Page("late.htm"))}), S_OK);
    EXPECT_EQ(CallByName(dispatch.get(), u"size", {VariantFromInteger(1)}), DISP_E_BADPARAMCOUNT);

    // The same calls through the vtable write the same page.
    ComPointer<IHtmlFormatter> direct = Create();
    direct->put_style(ScopedBstr("Zoom").get());
    direct->put_title(ScopedBstr("Late").get());
    direct->put_zoomSize(90);
    direct->size(800, 600);
    direct->addImages(ScopedBstr("p.jpg,q.jpg").get());
    direct->addComments(ScopedBstr("http://x/p\thttp://x/q").get());
    direct->addNames(ScopedBstr("P,Q").get());
    direct->save(ScopedBstr(Page("direct.htm")).get());
    EXPECT_EQ(Text(Page("late.htm")), Text(Page("direct.htm")));
    EXPECT_EQ(Text(Page("late.htm")), Expected({"p.jpg", "q.jpg"}, {"http://x/p", "http://x/q"},
                                               {"P", "Q"}, "Late", "Zoom", {800, 90}));
}

}  // namespace
