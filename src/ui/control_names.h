// The main window's controls, by the names of the design, so a search from the design finds
// the code. Each is declared once here; a misspelt name fails to compile, not at run time.
#pragma once

namespace zelk {

inline constexpr const char* kPlateBox = "PlateBox";             // the output-format plate, hatched
inline constexpr const char* kPageRect = "Lapas";                // the page drawn on the plate
inline constexpr const char* kFastLabel = "LabelFast";           // fast-scan limit above the plate
inline constexpr const char* kSlowLabel = "LabelSlow";           // slow-scan limit left of it
inline constexpr const char* kWidthLabel = "LabW";               // the page's width
inline constexpr const char* kHeightLabel = "LabH";              // the page's height
inline constexpr const char* kEmulsionStem = "EmulsionBox";      // the emulsion mark's stem
inline constexpr const char* kEmulsionTop = "E1";                // its top arm
inline constexpr const char* kEmulsionMiddle = "E2";             // its middle arm
inline constexpr const char* kEmulsionBottom = "E3";             // its bottom arm
inline constexpr const char* kPageCount = "Pag";                 // the page count
inline constexpr const char* kPageName = "PageNameLabel";        // the page-size name
inline constexpr const char* kColourSummary = "ColorSep";        // colour count and verdict
inline constexpr const char* kPlateOutline = "RedBox";           // the plate's red outline
inline constexpr const char* kPlateTarget = "OLab";              // mouse target over the plate
inline constexpr const char* kGauge = "Gaugis";                  // the progress gauge's fill
inline constexpr const char* kGaugeFrame = "Gaugis2";            // the progress gauge's frame
inline constexpr const char* kHeading = "PostScript";            // the heading above the report
inline constexpr const char* kStopLink = "Stoper";               // "Stop"
inline constexpr const char* kColourBar = "ColorBar";            // the colour bar
inline constexpr const char* kReport = "Desk";                   // the text report
inline constexpr const char* kSettingsLink = "Conf";             // "Setings"
inline constexpr const char* kAboutLink = "LabAbout";            // "About Zelk"
inline constexpr const char* kCloseLink = "Close";               // "Close"
inline constexpr const char* kPopUp = "PopUp";                   // the colour-name pop-up
inline constexpr const char* kHelpLink = "Help";                 // "Help"
inline constexpr const char* kResourceNotice = "ResourceLabel";  // "n resources needed!"

}  // namespace zelk
