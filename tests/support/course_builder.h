// Lays down course objects field by field in their stored order, for tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/archive_writer.h"

namespace tvn::testing {

// The fields every course object stores.
struct IconFields {
  std::uint32_t flags = 4;
  std::string name;
  std::string text;
  std::uint16_t schema = 3;  // the schema stored with the common part's class record
};

// A logical font as its 60 stored bytes give it, with the point size stored before it.
struct FontFields {
  std::int32_t pointSize = 20;
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 2;
  std::uint8_t pitchAndFamily = 0x22;
  std::string face = "Arial";  // the first 32 bytes are stored, zero-padded; longer faces are cut unterminated
};

// A key description.
struct KeyFields {
  std::uint32_t flags = 4;
  std::string characters;
  std::vector<std::uint8_t> switches;
};

// A record-set binding as stored.
struct RecordSetFields {
  std::string source, second, third;
  std::vector<std::string> first;
  std::vector<std::string> columns;
  std::vector<std::uint16_t> indices;
};

// A variable declaration as stored; the id is the name's hash unless given.
struct VariableFields {
  std::string name;
  std::uint8_t precision = 0;
  std::uint32_t flags = 0x100;
  std::optional<std::int32_t> id;
  std::uint8_t formatIndex = 1;
  std::string format;
  std::optional<RecordSetFields> recordSet;
};

// One embedded font as the course stores it.
struct EmbeddedFontFields {
  std::string face;
  std::string style;
  std::string fileName;
  std::vector<std::uint8_t> data;
};

// The packaging record. Schemas before 7 store one more word after the
// packager word; schemas before 3 store five yes/no values instead of the flags.
struct PackagerFields {
  std::uint32_t word = 205900;
  std::uint32_t extraWord = 0;
  std::uint32_t flags = 0;
  std::array<std::int32_t, 5> oldOptions{};
  std::array<std::string, 10> texts;
  std::vector<std::string> files;
  std::int32_t value1 = -1;
  std::int32_t value2 = 0;
};

// A transition as stored.
struct EffectFields {
  std::uint8_t category = 0;
  std::uint8_t variant = 0;
  std::uint8_t blockSize = 2;
  std::uint8_t stepDelay = 5;
  std::uint32_t flags = 0x4000;
  std::string parameter;
  std::string secondParameter;
  std::uint16_t schema = 3;  // the second parameter is written only from schema 3
};

// A rectangle of four bindable sides: literal values, or a variable id where one is given.
struct VariableRectFields {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t leftVar = 0, topVar = 0, rightVar = 0, bottomVar = 0;
};

// The display part of actions, events and responses. Course files of
// version 3 and older store no class reference and the transition as its
// variant, block size and step delay bytes.
struct DisplayFields {
  std::string className = "CDisplayAction";
  VariableRectFields rect;
  std::uint32_t displayFlags = 0;
  std::uint8_t layer = 6;
  EffectFields effect;
};

// A text action's own fields.
struct TextFields {
  std::uint32_t flags = 1;
  std::uint32_t textColour = 0;
  std::uint32_t backColour = 0xFFFFFF;
  std::string text;
  std::int8_t shadowX = 3;
  std::int8_t shadowY = 3;
  std::uint32_t shadowColour = 0;
  std::int32_t rotation = 0;
  std::int32_t rotationVar = 0;
  FontFields font;
};

// A rich-text action's own fields.
struct RtfFields {
  std::uint32_t flags = 0x40;
  std::uint32_t textColour = 0x8000;
  std::uint32_t backColour = 0xFFFFFF;
  std::string text;
  std::int8_t shadowX = 3;
  std::int8_t shadowY = 3;
  std::uint32_t shadowColour = 0;
  std::uint8_t byteValue = 10;
  std::string fileName;
  FontFields font;
};

// The area of a clear or transition action.
struct AreaFields {
  std::uint32_t flags = 1;
  std::string names;
  std::vector<std::uint8_t> layers;
};

// A read action's own fields; the marker and section are written from schema 3.
struct ReadFields {
  std::uint32_t flags = 2;
  std::int32_t variableId = 0;
  std::string fileName;
  std::string marker = "#";
  std::string section;
  std::uint16_t schema = 3;
};

// A DLL action's own fields.
struct DllFields {
  std::int32_t reserved = 0;
  std::int32_t resultVariable = 0;
  std::string library;
  std::string function;
  std::string argumentTypes;
  std::string arguments;
  std::uint8_t resultType = 0;
};

// A DDE action's stored fields.
struct DdeFields {
  std::string application;
  std::string topic;
  std::string command;
  std::string item;
  std::uint32_t flags = 0;
  std::uint16_t format = 1;
  std::int32_t resultVariable = 0;
};

// An ODBC action's stored options.
struct OdbcFields {
  std::int32_t valueB = 0;
  std::int32_t valueA = 9;
  std::uint8_t option = 0;
  std::string text1, text2, text3;
};

class CourseBuilder;

// A whole course file: the header, then the course's items in their stored order.
struct CourseFileFields {
  std::uint32_t wideMark = 0;
  std::string signature = "mcl";  // three bytes
  std::uint32_t version = 5;
  std::uint8_t flags = 0;
  std::string header;
  std::vector<VariableFields> variables;
  std::vector<std::string> searchPaths;
  IconFields course{4, "Course", "", 3};
  std::vector<std::function<void(CourseBuilder&)>> tasks;  // each writes one task reference
  PackagerFields packaging;
  std::uint16_t packagingSchema = 7;
  std::vector<EmbeddedFontFields> fonts;
};

// The fields of the response base, as stored after a kind's own fields.
struct ResponseFields {
  std::uint32_t outcomeFlags = 1;
  std::uint8_t answerMark = 0;
  std::vector<std::int32_t> targets = {1};  // padded with zeros to ten
  std::string expression;
  std::uint16_t schema = 3;                 // stored with the class reference of "CResponse"
  IconFields actionsIcon{4, "", "", 3};    // the common part of the inline action list
  std::vector<std::function<void(CourseBuilder&)>> actions;
};

// A media-file object's authored record.
struct MediaFields {
  std::uint32_t flags = 0x02901040;
  std::uint8_t kind = 0;
  std::uint32_t loopCount = 1;
  std::string fileName;
  std::int32_t from = 0, to = 0, balance = 0, volume = 100, speed = 100;  // literals
};

// A sound action's own fields.
struct AudioFields {
  std::uint8_t source = 1;
  std::int32_t start[3] = {0, 0, 0};
  std::int32_t end[3] = {0, 0, 0};
  std::uint32_t flags = 1;
  MediaFields media;
};

// A movie action's own fields: the flags, the crop margins, then the medium.
struct MovieFields {
  std::uint32_t flags = 1;
  std::int32_t crop[4] = {0, 0, 0, 0};  // left, top, right, bottom
  MediaFields media;
};

// A frame response's own fields; the threshold is a literal in hundredths, or the variable with the id.
struct FrameFields {
  std::string mediaName;
  std::uint32_t frameFlags = 0;
  std::uint32_t interval = 500;
  std::int32_t threshold = 0, thresholdVar = 0;
};

// The fields of the event base, as stored after a kind's own fields.
struct EventFields {
  std::uint32_t eventFlags = 1;
  std::string condition;
};

// A course menu item and its sub-items.
struct MenuItemFields {
  std::uint32_t flags = 0;
  std::uint32_t commandId = 0;
  std::string caption;
  std::string checkCondition;
  std::string disableCondition;
  std::vector<MenuItemFields> subItems;
};

// A picture's settings as display objects store them.
struct ImageFields {
  std::string fileName;
  std::uint32_t flags = 0x10084;
  std::int32_t rect[4] = {0, 0, 0, 0};  // left, top, right, bottom
  std::uint32_t keyColour = 0;
  std::string maskFileName;
  std::int32_t offset[4] = {0, 0, 0, 0};  // left, top, right, bottom, all literal
};

// A push button's own fields.
struct ButtonFields {
  std::string caption;
  std::uint8_t hotKey = 0;
  std::uint32_t style = 0x12;
  std::uint32_t textColour = 0;
  std::uint32_t faceColour = 0xC0C0C0;
  std::uint32_t shadowColour = 0x808080;
  std::uint32_t highlightColour = 0xFFFFFF;
  std::uint8_t bevel = 2;
  std::string cursorFile;
  std::array<ImageFields, 4> images{};  // face, up, down, hover
  FontFields font;
  std::uint16_t schema = 3;  // the cursor file is stored always, read from schema 3
};

// A hot area's own fields; outline points are line points.
struct RegionFields {
  std::uint32_t mouseFlags = 0x11;
  std::string cursorFile;
  std::uint32_t regionFlags = 0x20;
  std::vector<std::pair<std::int32_t, std::int32_t>> outline;
  KeyFields key{0, "", {0, 0, 0}};
};

// A check button's own fields.
struct CheckButtonFields {
  FontFields font;
  std::string label;
  std::string condition;
  std::uint8_t accessKey = 0;
  std::uint32_t style = 0x44;
  std::uint32_t textColour = 0;
  std::uint32_t backColour = 0xFFFFFF;
};

// A list-box response's own fields.
struct ListBoxFields {
  std::uint32_t variableId = 0;
  std::uint32_t options = 0x11;
  std::uint32_t textColour = 0;
  std::uint32_t backColour = 0xFFFFFF;
  std::string items;
  std::string selection;
  std::string separator;
  FontFields font;
};

// A rich-text editor response's own fields.
struct RtfEditorFields {
  std::uint32_t variableId = 0;
  std::uint32_t flags = 0x8110;
  std::uint32_t reserved = 0;
  std::uint32_t textColour = 0;
  std::uint32_t backColour = 0xFFFFFF;
  FontFields font;
};

// One grid cell as stored; className lets a test store an element of another class.
struct CellFields {
  std::uint8_t reserved = 0;
  std::uint16_t outcomeFlags = 1;
  std::vector<std::int32_t> targets = {1};  // padded with zeros to ten
  std::string expression;
  std::string className = "CCellData";
};

// A grid response's own fields; the cell count is stored as given.
struct GridFields {
  std::uint8_t rows = 0;
  std::uint8_t columns = 0;
  std::uint32_t gridFlags = 0;
  std::string cursorFile;
  std::vector<CellFields> cells;
};

// A path: each point with its type (2 a line point, 4 a curve point).
struct PathFields {
  std::vector<std::pair<std::int32_t, std::int32_t>> points;
  std::vector<std::uint8_t> types;  // line points where none is given
};

// A drag-and-drop response's own fields; the four values are literals, or variables by id.
struct DragDropFields {
  std::uint8_t mode = 0;
  std::uint32_t dragFlags = 0;
  std::string objectName;
  std::int32_t offsetOrMinimum = 0, offsetOrMaximum = 0, rangeLow = 0, rangeHigh = 0;
  std::int32_t offsetOrMinimumVar = 0, offsetOrMaximumVar = 0, rangeLowVar = 0, rangeHighVar = 0;
  PathFields path;
};

// A shape action's own fields.
struct ShapeFields {
  std::uint8_t type = 1;
  std::uint32_t flags = 0x13;
  std::uint32_t penStyle = 0;
  std::int32_t penWidth = 1;
  std::uint32_t penColour = 0;
  std::int32_t cornerX = 16, cornerY = 16;
  std::uint32_t brushStyle = 1;
  std::uint32_t brushColour = 0xFF0000;
  std::int32_t brushHatch = 0;
  std::uint32_t backColour = 0;
  std::uint8_t arrowStyle = 0;
  PathFields points;
};

// A move action's own fields; each value is a literal, or the variable with the id when it is not 0.
struct MoveFields {
  std::uint8_t type = 0;
  std::uint32_t flags = 0x200000;
  std::string objectName;
  std::int32_t repeat = 1;
  std::int32_t time = 500, timeVar = 0;
  PathFields path;
  std::int32_t a = 0, aVar = 0, b = 0, bVar = 0, c = 0, cVar = 0;
};

// A widget action's own fields: each widget a picture and its frame count.
struct WidgitFields {
  std::uint32_t flags = 1;
  std::int32_t cycleLimit = 1;
  std::int32_t interval = 50, intervalVar = 0;
  std::vector<std::pair<ImageFields, std::int32_t>> widgets;
};

// A window action's own fields; schema 2 stores no gradient and no picture.
struct WindowFields {
  std::uint16_t schema = 3;
  std::uint32_t flags = 0x400;
  std::uint32_t colour = 0xFFFFFF;
  std::string caption;
  std::int32_t pageWidth = 640, pageHeight = 480;
  std::int32_t marginX = 40, marginY = 40;
  std::uint32_t mode = 0x510080;
  std::uint32_t gradientStart = 0xFF0000, gradientEnd = 0;
  ImageFields image;
  std::vector<std::uint8_t> keptLayers;
};

// Writes course objects into an archive stream for a given course file version.
class CourseBuilder {
 public:
  using Writer = std::function<void(CourseBuilder&)>;

  explicit CourseBuilder(int courseVersion = 5) : m_version(courseVersion) {}

  ArchiveWriter& out() { return m_out; }
  int version() const { return m_version; }
  const std::vector<std::uint8_t>& bytes() const { return m_out.bytes(); }

  // The common part: from version 5 the class reference of "CIconObject",
  // then flags and name, then the text when the stored schema is 3 or more.
  CourseBuilder& IconPart(const IconFields& fields);

  // A manager written as an object reference: its class record, the common
  // part, then a counted list whose elements the writers lay down.
  CourseBuilder& Manager(std::string_view className, std::uint16_t schema, const IconFields& fields,
                         const std::vector<Writer>& children);

  // A manager's stored form without an object tag: the common part, then a
  // counted list whose elements the writers lay down.
  CourseBuilder& InlineManager(const IconFields& fields, const std::vector<Writer>& children);

  // A task as an object reference: the common part, the task number, then
  // its event, action and response lists inline.
  CourseBuilder& Task(const IconFields& fields, std::int32_t number, const std::vector<Writer>& events,
                      const std::vector<Writer>& actions, const std::vector<Writer>& responses,
                      const IconFields& managerIcon = IconFields{4, "", "", 3});

  // An event as an object reference: its class record, the fields of its
  // own kind that ownFields writes, the event flags and condition, then the common part.
  CourseBuilder& Event(std::string_view className, std::uint16_t schema, const IconFields& fields,
                       const EventFields& event, const Writer& ownFields = nullptr);
  CourseBuilder& DemonEvent(const IconFields& fields, const EventFields& event, std::string_view watch);
  CourseBuilder& KeyboardEvent(const IconFields& fields, const EventFields& event, const KeyFields& keys);
  // The interval in seconds: a literal, or the variable with the id when it is not 0.
  CourseBuilder& TimeEvent(const IconFields& fields, const EventFields& event, std::int32_t seconds,
                           std::int32_t variableId = 0);
  CourseBuilder& MenuEvent(const IconFields& fields, const EventFields& event, std::string_view itemText,
                           std::uint32_t commandId);
  CourseBuilder& EventManager(const IconFields& fields, const std::vector<Writer>& events);

  // A response as an object reference: its class record, the fields of its
  // own kind that ownFields writes, the response base, then the common part.
  CourseBuilder& Response(std::string_view className, std::uint16_t schema, const IconFields& fields,
                          const ResponseFields& response, const Writer& ownFields = nullptr);
  // The response base alone: from version 5 the class reference of
  // "CResponse", outcome flags, answer mark, ten targets, expression and the
  // inline action list.
  CourseBuilder& ResponseBase(const ResponseFields& response);
  CourseBuilder& KeyboardResponse(const IconFields& fields, const ResponseFields& response, const KeyFields& keys);
  CourseBuilder& MouseResponse(const IconFields& fields, const ResponseFields& response, std::uint32_t mouseFlags);
  // The interval: a literal in tenths of a second, or the variable with the id when it is not 0.
  CourseBuilder& TimeResponse(const IconFields& fields, const ResponseFields& response, std::int32_t tenths,
                              std::int32_t variableId = 0);
  CourseBuilder& MenuResponse(const IconFields& fields, const ResponseFields& response, std::string_view itemText,
                              std::uint16_t commandId);
  CourseBuilder& ConditionResponse(const IconFields& fields, const ResponseFields& response,
                                   std::string_view condition);
  CourseBuilder& BranchResponse(const IconFields& fields, const ResponseFields& response);
  CourseBuilder& PushButtonResponse(const IconFields& fields, const ResponseFields& response, const ButtonFields& button,
                                    const VariableRectFields& rect);
  CourseBuilder& RegionResponse(const IconFields& fields, const ResponseFields& response, const RegionFields& region,
                                const VariableRectFields& rect);
  CourseBuilder& HyperTextResponse(const IconFields& fields, const ResponseFields& response, std::string_view link);
  CourseBuilder& CheckButtonResponse(const IconFields& fields, const ResponseFields& response,
                                     const CheckButtonFields& check, const VariableRectFields& rect);
  CourseBuilder& ListBoxResponse(const IconFields& fields, const ResponseFields& response, const ListBoxFields& list,
                                 const VariableRectFields& rect);
  CourseBuilder& RtfEditorResponse(const IconFields& fields, const ResponseFields& response,
                                   const RtfEditorFields& editor, const VariableRectFields& rect);
  CourseBuilder& GridResponse(const IconFields& fields, const ResponseFields& response, const GridFields& grid,
                              const VariableRectFields& rect);
  CourseBuilder& DragDropResponse(const IconFields& fields, const ResponseFields& response,
                                  const DragDropFields& drag, const VariableRectFields& rect);
  CourseBuilder& ResponseManager(const IconFields& fields, const std::vector<Writer>& responses);

  // A menu item as an object reference, its sub-items as a counted list of references.
  CourseBuilder& MenuItem(const MenuItemFields& item);
  // A menu item list: a count, then the items.
  CourseBuilder& MenuItemList(const std::vector<MenuItemFields>& items);

  // A plain "CIconObject" written as an object reference.
  CourseBuilder& PlainObject(const IconFields& fields);

  // A font description inline: the class operation of "CFontObject", the
  // point size, then the 60 bytes of the logical font. logFontBytes cuts
  // the logical font short, for damaged files.
  CourseBuilder& Font(const FontFields& fields, std::size_t logFontBytes = 60);

  // A key description inline: the class operation of "CKeyboard", flags,
  // characters, then the switches as a counted byte array.
  CourseBuilder& Keyboard(const KeyFields& fields);

  // An action as an object reference: its class record, the fields of its
  // own kind that ownFields writes (nothing for "CAction"), then the common part.
  CourseBuilder& Action(std::string_view className, std::uint16_t schema, const IconFields& fields,
                        const Writer& ownFields = nullptr);

  // An action list: a "CActionManager" (schema 2) with the actions the writers lay down.
  CourseBuilder& ActionManager(const IconFields& fields, const std::vector<Writer>& actions);

  // The variable declarations of a course: class record, WORD count, then
  // each declaration with its own class record.
  CourseBuilder& VariableTable(const std::vector<VariableFields>& variables);
  CourseBuilder& Variable(const VariableFields& fields);
  // A bindable integer: class record, literal, variable id.
  CourseBuilder& VarOrValue(std::int32_t literal, std::int32_t variableId);

  // A picture's fields inline: file name, flags, picture rectangle, key
  // colour, mask file name, then the offset as four bindable integers.
  CourseBuilder& Image(const ImageFields& fields);

  // The fonts list, the course file's last item: a count, then one
  // "CEmbeddedFontObj" reference each, whose fields open with the class's own reference.
  CourseBuilder& EmbeddedFonts(const std::vector<EmbeddedFontFields>& fonts);

  // A whole course file. The builder's own version encodes the objects; the
  // header's version is the one given in the fields.
  CourseBuilder& CourseFile(const CourseFileFields& fields);

  // Four bindable integers: left, top, right, bottom.
  CourseBuilder& VariableRect(const VariableRectFields& fields);
  // The display part, written after a kind's own fields.
  CourseBuilder& DisplayPart(const DisplayFields& fields);
  // Display actions as object references: the kind's own fields, the display part, the common part.
  CourseBuilder& TextAction(const IconFields& fields, const TextFields& text, const DisplayFields& display);
  CourseBuilder& RtfAction(const IconFields& fields, const RtfFields& rtf, const DisplayFields& display);
  CourseBuilder& GraphicsAction(const IconFields& fields, std::uint16_t mode, std::uint32_t graphicsFlags,
                                const ImageFields& image, const DisplayFields& display);
  CourseBuilder& ShapeAction(const IconFields& fields, const ShapeFields& shape, const DisplayFields& display);
  CourseBuilder& MoveAction(const IconFields& fields, const MoveFields& move, const DisplayFields& display);
  // The widgets as the framework's object list: a count, then each "CWidgit" tagged.
  CourseBuilder& WidgitAction(const IconFields& fields, const WidgitFields& widgit, const DisplayFields& display);
  CourseBuilder& WindowAction(const IconFields& fields, const WindowFields& window, const DisplayFields& display);
  // The menu action: its item list, then the common part.
  CourseBuilder& MenuAction(const IconFields& fields, const std::vector<MenuItemFields>& items);
  CourseBuilder& PrintAction(const IconFields& fields, std::uint32_t flags, std::int32_t scale,
                             std::array<std::int32_t, 4> margins);
  CourseBuilder& PaletteAction(const IconFields& fields, std::uint32_t flags, std::string_view file);
  // Schema 3 stores the budget and every name; schema 2 only the first name.
  CourseBuilder& PreloadAction(const IconFields& fields, std::uint32_t flags, std::int32_t budget,
                               const std::vector<std::string>& files, std::uint16_t schema = 3);
  // A path inline: counted points, then counted type bytes.
  CourseBuilder& Path(const PathFields& path);
  // "CClearAction" or "CTransitionAction".
  CourseBuilder& AreaAction(std::string_view className, const IconFields& fields, const AreaFields& area,
                            const DisplayFields& display);
  CourseBuilder& VariableAction(const IconFields& fields, std::string_view script);
  CourseBuilder& CourseAction(const IconFields& fields, std::uint32_t courseFlags, std::string_view file,
                              std::int32_t task, std::int32_t taskVar = 0);

  CourseBuilder& WriteAction(const IconFields& fields, std::uint32_t flags, std::string_view file, std::string_view text);
  CourseBuilder& ReadAction(const IconFields& fields, const ReadFields& read);
  CourseBuilder& RunAction(const IconFields& fields, std::string_view program, std::string_view parameters,
                           std::uint32_t flags = 0x10);
  CourseBuilder& DllAction(const IconFields& fields, const DllFields& dll);
  CourseBuilder& DdeAction(const IconFields& fields, const DdeFields& dde);
  CourseBuilder& SimulatorAction(const IconFields& fields, std::string_view simulation);
  // A media-file object inline: its own class reference ("CMediaFileObject", schema 2), flags,
  // kind, loop count, file name, then from, to, balance, volume and speed.
  CourseBuilder& MediaFileObject(const MediaFields& media);
  CourseBuilder& AudioAction(const IconFields& fields, const AudioFields& audio);
  CourseBuilder& MciAction(const IconFields& fields, std::string_view script, std::uint16_t value = 0);
  CourseBuilder& MciResponse(const IconFields& fields, const ResponseFields& response, std::uint32_t notifyFlags);
  CourseBuilder& MovieAction(const IconFields& fields, const MovieFields& movie, const DisplayFields& display);
  CourseBuilder& FrameResponse(const IconFields& fields, const ResponseFields& response, const FrameFields& frame);
  CourseBuilder& OdbcAction(const IconFields& fields, const OdbcFields& odbc);

  // A transition inline: the class operation of "CEffectData", then its fields.
  CourseBuilder& Effect(const EffectFields& fields);

  // The packaging record: its class reference, then its fields in the given schema.
  CourseBuilder& PackagerInfo(const PackagerFields& fields, std::uint16_t schema = 7);

 private:
  ArchiveWriter m_out;
  int m_version;
};

}  // namespace tvn::testing
