#include "engine/writers/PageWriters.h"

#include <string>

#include "engine/util/PageText.h"
#include "engine/util/StringUtilities.h"
#include "platform/file/FileLayer.h"

namespace {

// The generated lines assign to document.images, a live collection that ignores
// assignments in a browser; inside preloadImages they run in a scope whose
// "document" is a plain holder, so the pictures land in slides.images.
constexpr std::string_view kScriptHead =
    "<script language=JavaScript1.2>\r\n"
    "var secs=0\r\n"
    "var timerID = null\r\n"
    "var timerRunning = false\r\n"
    "var delay = 1000\r\n"
    "\r\n"
    "function InitializeTimer()\r\n"
    "{\r\n"
    "\tsecs = 10\r\n"
    "\tStopTheClock()\r\n"
    "\tStartTheTimer()\r\n"
    "}\r\n"
    "\r\n"
    "function StopTheClock()\r\n"
    "{\r\n"
    "\tif (timerRunning)\r\n"
    "\t\tclearTimeout(timerID)\r\n"
    "\ttimerRunning = false\r\n"
    "}\r\n"
    "\r\n"
    "function StartTheTimer()\r\n"
    "{\r\n"
    "\tif (secs <= 0)\r\n"
    "\t{\r\n"
    "\t\tStopTheClock()\r\n"
    "\t\tchangeImages('zoom',1)\r\n"
    "\t\tInitializeTimer()\r\n"
    "\t}\r\n"
    "\telse\r\n"
    "\t{\r\n"
    "\t\tif (timerRunning)\r\n"
    "\t\t\tclearTimeout(timerID)\r\n"
    "\t\tsecs = secs - 1\r\n"
    "\t\ttimerRunning = true\r\n"
    "\t\ttimerID = self.setTimeout(\"StartTheTimer()\", delay)\r\n"
    "\t}\r\n"
    "}\r\n"
    "\r\n"
    "function newImage(arg)\r\n"
    "{\r\n"
    "\tif (document.images)\r\n"
    "\t{\r\n"
    "\t\tvar rslt = new Image()\r\n"
    "\t\trslt.src = arg\r\n"
    "\t\treturn rslt\r\n"
    "\t}\r\n"
    "}\r\n"
    "\r\n"
    "var preloadFlag = false\r\n"
    "var imageIndex = 0\r\n"
    "var imageCnt = 0\r\n"
    "var imageStart = 0\r\n"
    "var slides = { images: new Array() }\r\n"
    "\r\n"
    "function preloadImages()\r\n"
    "{\r\n"
    "\tif (document.images)\r\n"
    "\t{\r\n"
    "\t\timageIndex = imageStart\r\n"
    "\t\timageCnt = 0\r\n"
    "\t\twith ({ document: slides })\r\n"
    "\t\t{\r\n";

constexpr std::string_view kScriptTail =
    "\t\t}\r\n"
    "\t\tpreloadFlag = true\r\n"
    "\t\tchangeImages('zoom',0)\r\n"
    "\t}\r\n"
    "}\r\n"
    "\r\n"
    "function changeImages(name, step)\r\n"
    "{\r\n"
    "\tif (document.images && (preloadFlag == true) && (imageCnt > 0))\r\n"
    "\t{\r\n"
    "\t\timageIndex = imageIndex + step\r\n"
    "\t\tif (imageIndex < imageStart)\r\n"
    "\t\t\timageIndex = imageStart + imageCnt - 1\r\n"
    "\t\tif (imageIndex >= imageStart + imageCnt)\r\n"
    "\t\t\timageIndex = imageStart\r\n"
    "\t\tdocument.images[name].src = slides.images[imageIndex].src\r\n"
    "\t}\r\n"
    "}\r\n"
    "</script>\r\n"
    "<body onload=preloadImages()>\r\n"
    "<img src=\"openOn.jpg\" border=0 name=zoom>\r\n"
    "<p><a href=\"javascript:changeImages('zoom',-1)\">back</a> "
    "<a href=\"javascript:changeImages('zoom',1)\">forward</a> "
    "<a href=\"javascript:StopTheClock()\">stop</a> "
    "<a href=\"javascript:StartTheTimer()\">start</a></p>\r\n"
    "</body></html>\r\n";

std::string WithBlanksForTabs(std::string_view text) {
    std::string copy(text);
    TabsToBlanks(copy);
    return copy;
}

}  // namespace

bool WriteImageListPage(std::string_view path, std::string_view title, const StringArray& images,
                        bool asFileUrls) {
    FileWriter file;
    if (!file.Open(path))
        return false;
    WriteText(file, "<html><head><title>");
    WriteText(file, EscapeText(title));
    WriteText(file, "</title></head><body><p>");
    WriteText(file, "\r\n");
    const std::string_view prefix = asFileUrls ? "file:///" : "";
    for (const std::string& image : images) {
        // The location sits in a quoted src attribute.
        WriteText(file, "<img border=\"0\" src=\"");
        WriteText(file, prefix);
        WriteText(file, EncodeUrlForAttribute(image));
        WriteText(file, "\">\r\n");
    }
    WriteText(file, "\r\n");
    WriteText(file, "</p></body></html>");
    WriteText(file, "\r\n");
    return file.Close();
}

bool WriteSlideshowPage(std::string_view path, std::string_view title, const StringArray& images,
                        bool asFileUrls) {
    FileWriter file;
    if (!file.Open(path))
        return false;
    WriteText(file, "<html><head><title>");
    WriteText(file, EscapeText(title));
    WriteText(file, "</title></head>");
    WriteText(file, "\r\n");
    WriteText(file, WithBlanksForTabs(kScriptHead));
    const std::string_view prefix = asFileUrls ? "file:///" : "";
    for (const std::string& image : images) {
        // The location sits in a double-quoted script string.
        WriteText(file, "document.images[imageStart+imageCnt]=newImage(\"");
        WriteText(file, prefix);
        WriteText(file, EncodeUrlForScriptString(image));
        WriteText(file, "\");\r\n");
        WriteText(file, "imageCnt++;");
        WriteText(file, "\r\n");
    }
    WriteText(file, WithBlanksForTabs(kScriptTail));
    return file.Close();
}
