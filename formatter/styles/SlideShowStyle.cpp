// The slide show style: a page whose script preloads every picture and shows them
// one after another in a single picture element.
#include <string>

#include "engine/util/PageText.h"
#include "engine/util/StringUtilities.h"
#include "formatter/styles/PageParts.h"
#include "formatter/styles/PageStyles.h"

namespace {

constexpr std::string_view kLinkStyles =
    "<style type='text/css'>"
    "a:link       { font-size: 10pt; font-family: arial, 'Trebuchet MS', tahoma, verdana; "
    "color: #3130FF; text-decoration: none }"
    "a:visited    { font-size: 10pt; font-family: arial, 'Trebuchet MS', tahoma, verdana; "
    "color: #3130FF; text-decoration: none }"
    "a:active     { font-size: 10pt; font-family: arial, 'Trebuchet MS', tahoma, verdana; "
    "color: #3130FF; text-decoration: none }"
    "a:hover      { font-size: 10pt; font-family: arial, 'Trebuchet MS', tahoma, verdana; "
    "color: #f99040; text-decoration: none }"
    "</style>";

// The pictures go into a plain array: a page's document.images is a live collection
// that ignores assignments. StartTheTimer drops its pending time-out before it sets a
// new one, so a second "start" never leaves a time-out that "stop" cannot clear.
constexpr std::string_view kScriptHead =
    "\r\n"
    "<script language=JavaScript1.2>\r\n"
    "var secs=0\r\n"
    "var timerID = null\r\n"
    "var timerRunning = false\r\n"
    "var delay = 1000\r\n"
    "var defaultSecs = 7\r\n"
    "\r\n"
    "function InitializeTimer()\r\n"
    "{\r\n"
    "\tsecs = defaultSecs\r\n"
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
    "function SpeedUpTheClock()\r\n"
    "{\r\n"
    "\tif (defaultSecs > 1)\r\n"
    "\t\tdefaultSecs = defaultSecs - 1\r\n"
    "}\r\n"
    "\r\n"
    "function SlowDownTheClock()\r\n"
    "{\r\n"
    "\tdefaultSecs = defaultSecs + 1\r\n"
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
    "function jsOnLoad()\r\n"
    "{\r\n"
    "\tpreloadImages()\r\n"
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
    "var theimages = new Array()\r\n"
    "\r\n"
    "function preloadImages()\r\n"
    "{\r\n"
    "\tif (document.images)\r\n"
    "\t{\r\n"
    "\t\timageStart = document.images.length\r\n"
    "\t\timageIndex = imageStart\r\n"
    "\t\timageCnt = 0\r\n";

constexpr std::string_view kScriptTail =
    "\t\timageStart=1\r\n"
    "\t\tpreloadFlag = true\r\n"
    "\t\tchangeImages('theimage',0)\r\n"
    "\t}\r\n"
    "}\r\n"
    "\r\n"
    "function changeImages(name, step)\r\n"
    "{\r\n"
    "\tif (document.images && (preloadFlag == true))\r\n"
    "\t{\r\n"
    "\t\timageIndex = imageIndex + step\r\n"
    "\t\tif (imageIndex < imageStart)\r\n"
    "\t\t\timageIndex = imageStart + imageCnt - 1\r\n"
    "\t\tif (imageIndex >= imageStart + imageCnt)\r\n"
    "\t\t\timageIndex = imageStart\r\n"
    "\t\tif (step == 0)\r\n"
    "\t\t\tdocument.images['theimage'].src = theimages[imageStart].src\r\n"
    "\t\telse if (imageIndex >= imageStart)\r\n"
    "\t\t\tdocument.images['theimage'].src = theimages[imageIndex].src\r\n"
    "\t}\r\n"
    "}\r\n"
    "</script>\r\n";

constexpr std::string_view kBody =
    "<body onload=jsOnLoad()>\r\n"
    "<table width=\"100%\" border=0><tr><td align=\"center\">\r\n"
    "<table width=\"500\" height=\"10%\" border=0 bgcolor=\"#c0c0c0\" cellpadding=1 "
    "cellspacing=0><tr><td>\r\n"
    "<table width=\"100%\" bgcolor=\"#f0f0f0\"><tr><td align=\"center\">\r\n"
    "<a href=\"javascript:StartTheTimer()\">start</a>&nbsp;&nbsp;&nbsp;"
    "<a href=\"javascript:StopTheClock()\">stop</a>&nbsp;&nbsp;&nbsp;"
    "<a href=\"javascript:SpeedUpTheClock()\">speed up</a>&nbsp;&nbsp;&nbsp;"
    "<a href=\"javascript:SlowDownTheClock()\">slow down</a>&nbsp;&nbsp;&nbsp;"
    "<a href=\"javascript:changeImages('theimage',0)\">rewind</a>&nbsp;&nbsp;&nbsp;"
    "<a href=\"javascript:changeImages('theimage',-1)\">back</a>&nbsp;&nbsp;&nbsp;"
    "<a href=\"javascript:changeImages('theimage',1)\">forward</a>\r\n"
    "</td></tr></table>\r\n"
    "</td></tr></table>\r\n"
    "</td></tr>\r\n"
    "<tr height=\"10%\"><td>&nbsp;</td></tr>\r\n"
    "<tr><td width=\"100%\" align=\"center\" valign=\"middle\">"
    "<img src=temp.jpg border=0 name='theimage'></td>\r\n"
    "</tr></table></body>\r\n"
    "</html>\r\n";

std::string WithBlanksForTabs(std::string_view text) {
    std::string copy(text);
    TabsToBlanks(copy);
    return copy;
}

}  // namespace

void WriteSlideShowStyle(FileWriter& file, std::string_view title, const StringArray& images) {
    WriteText(file, "<html><head><title>");
    WriteText(file, EscapeText(title));
    WriteText(file, "</title></head>");
    WriteText(file, kLineEnd);
    if (images.empty()) {
        WriteText(
            file,
            "<body><p><html><table width=\"100%\" height=\"100%\" valign=\"center\"><tr><td>");
        WriteText(file, kLineEnd);
        WriteText(file, "<p align=\"center\">No Images Found.</td></tr><table></p></body></html>");
        WriteText(file, kLineEnd);
        return;
    }
    WriteText(file, kLinkStyles);
    WriteText(file, WithBlanksForTabs(kScriptHead));
    for (const std::string& image : images) {
        // The picture's address sits in a quoted script string.
        const std::string src = EncodeUrlForScriptString(ReplaceAll(image, "\\", "/"));
        WriteText(file, "   theimages[imageStart+imageCnt]=newImage('" + src + "');\r\n");
        WriteText(file, "   imageCnt++;");
        WriteText(file, kLineEnd);
    }
    WriteText(file, WithBlanksForTabs(kScriptTail));
    WriteText(file, kBody);
}
