// Writes the demo course that `scripts/run-demo` plays, and its picture and
// narration next to it: a welcome page whose picture is narrated (an MCI
// response waits for the narration's end); a masked field that asks the
// learner's name; a three-question quiz (a picture that comes in with a wipe,
// two buttons, a hot spot on the picture and a six-second timer; check boxes;
// a star to drag into a basket), a point for each right answer; the score,
// with words that fit it, after the page is cleared with a transition; any
// key then shows a film, and then a page of rich text whose link a hypertext
// response follows. The page the link leads to, or a key on the rich-text
// page, goes on to a notes page, where the learner types formatted notes, and
// then to a page whose editor shows them again from their variable; Done
// there ends the program after the last, empty task. Every page clears what
// the one before it left.
#include <cstdio>
#include <string>
#include <vector>

#include <QImage>

#include "tests/support/bmp_writer.h"
#include "tests/support/course_builder.h"
#include "tests/support/editor_writer.h"
#include "tests/support/flic_writer.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/rich_text_page.h"
#include "tests/support/wav_writer.h"

namespace {

using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;

constexpr const char* kPictureName = "DEMO.BMP";
constexpr const char* kPngName = "BADGE.PNG";
constexpr const char* kMaskedName = "STAR.BMP";
constexpr const char* kSpinnerName = "SPINNER.BMP";
constexpr const char* kNarrationName = "NARRATE.WAV";
constexpr const char* kTitleName = "TITLE.FLC";
constexpr const char* kFilmName = "FILM.AVI";  // made by ffmpeg beside the course (examples/CMakeLists.txt)
// The film runs 3 seconds at 10 frames a second: its middle is frame 15.
constexpr std::int32_t kFilmMiddleFrame = 15;
// The quiz's questions, each worth a point of "Score".
constexpr int kQuestions = 3;

// The narration: two seconds of a soft two-note chime, 16-bit mono at 22050 Hz.
std::vector<std::uint8_t> Narration() {
  const auto first = tvn::testing::ToneWav(1000, 22050, 1, 523.25, 6000.0);
  const auto second = tvn::testing::ToneWav(1000, 22050, 1, 659.25, 6000.0);
  std::vector<std::int16_t> samples;
  for (const auto* wav : {&first, &second})
    for (std::size_t i = 44; i + 1 < wav->size(); i += 2)
      samples.push_back(static_cast<std::int16_t>((*wav)[i] | ((*wav)[i + 1] << 8)));
  return tvn::testing::WavFile(22050, 1, 16, samples);
}

// A 96 x 64 picture: a red-to-blue gradient, 24 bits.
std::vector<std::uint8_t> DemoPicture() {
  std::vector<std::vector<std::uint32_t>> rows(64, std::vector<std::uint32_t>(96));
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 96; ++x) {
      const std::uint32_t red = static_cast<std::uint32_t>(255 - x * 255 / 95);
      const std::uint32_t blue = static_cast<std::uint32_t>(x * 255 / 95);
      const std::uint32_t green = static_cast<std::uint32_t>(y * 2);
      rows[y][x] = (red << 16) | (green << 8) | blue;
    }
  }
  tvn::testing::BmpFile f;
  f.width = 96;
  f.height = 64;
  f.pixels = tvn::testing::PackRows(rows, 24);
  return f.Bytes();
}

// A 64 x 64 badge with a soft edge, for the result page (written as PNG).
QImage BadgePicture() {
  QImage image(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const int d = (x - 32) * (x - 32) + (y - 32) * (y - 32);
      image.setPixel(x, y, d < 900 ? qRgb(40, 160 + x, 60) : qRgb(255, 255, 255));
    }
  return image;
}

// A 48 x 48 star on magenta: the top-left colour is the key, so only the star shows.
std::vector<std::uint8_t> StarPicture() {
  std::vector<std::vector<std::uint32_t>> rows(48, std::vector<std::uint32_t>(48, 0xFF00FF));
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      const int dx = x > 24 ? x - 24 : 24 - x;
      const int dy = y > 24 ? y - 24 : 24 - y;
      if (dx + dy < 22 && (dx < 6 || dy < 6 || dx + dy < 12)) rows[y][x] = 0xFFC000;
    }
  tvn::testing::BmpFile f;
  f.width = 48;
  f.height = 48;
  f.pixels = tvn::testing::PackRows(rows, 24);
  return f.Bytes();
}

// Four 24 x 24 frames side by side: a dot going round a square.
std::vector<std::uint8_t> SpinnerPicture() {
  std::vector<std::vector<std::uint32_t>> rows(24, std::vector<std::uint32_t>(96, 0xF0F0F0));
  const int corners[4][2] = {{4, 4}, {14, 4}, {14, 14}, {4, 14}};
  for (int frame = 0; frame < 4; ++frame)
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) rows[corners[frame][1] + y][frame * 24 + corners[frame][0] + x] = 0x2040C0;
  tvn::testing::BmpFile f;
  f.width = 96;
  f.height = 24;
  f.pixels = tvn::testing::PackRows(rows, 24);
  return f.Bytes();
}

tvn::testing::DisplayFields At(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::uint8_t variant = 0) {
  tvn::testing::DisplayFields d;
  d.rect = {l, t, r, b};
  d.effect.category = variant ? 1 : 0;
  d.effect.variant = variant;
  d.effect.blockSize = 8;
  d.effect.stepDelay = 10;
  return d;
}

// Clears the whole page, with the transition of the variant when it is not 0.
CourseBuilder::Writer Clear(std::uint8_t variant = 0) {
  return [=](CourseBuilder& c) {
    c.AreaAction("CClearAction", IconFields{4, "Clear", "", 3}, tvn::testing::AreaFields{}, At(0, 0, 0, 0, variant));
  };
}

CourseBuilder::Writer Text(const char* name, std::string text, tvn::testing::DisplayFields where, int points) {
  return [=](CourseBuilder& c) {
    tvn::testing::TextFields t;
    t.text = text;
    t.textColour = 0x000000;
    t.font.pointSize = points;
    t.font.weight = 700;
    c.TextAction(IconFields{4, name, "", 3}, t, where);
  };
}

CourseBuilder::Writer Button(const char* name, const char* caption, char hotKey, const char* script,
                             tvn::testing::VariableRectFields rect) {
  return [=](CourseBuilder& c) {
    tvn::testing::ButtonFields button;
    button.caption = caption;
    button.hotKey = static_cast<std::uint8_t>(hotKey);
    button.font.pointSize = 14;
    button.font.weight = 700;
    tvn::testing::ResponseFields next;
    next.expression = script;
    c.PushButtonResponse(IconFields{4, name, "", 3}, next, button, rect);
  };
}

// A variable's id: the hash of its name, as the course file stores references.
std::int32_t IdOf(const char* name) {
  std::uint32_t id = 0;
  for (const char* p = name; *p; ++p) id = id * 33 + static_cast<std::uint32_t>(static_cast<std::int8_t>(*p));
  return static_cast<std::int32_t>(id);
}

// The notes page (an editor bound to "Notes", with the formatting menu on the
// right button) or, shown again, the same editor filled from the variable.
void NotesPage(CourseBuilder& b, std::int32_t number, bool again) {
  tvn::testing::RtfEditorFields editor;
  editor.variableId = static_cast<std::uint32_t>(IdOf("Notes"));
  editor.flags = 0x100 | 0x80 | 0x20 | 0x10 | 0x4;  // menu, several lines, border, opaque
  if (again) editor.flags |= 0x8;                   // filled from the variable
  editor.backColour = 0xF0FFFF;                     // a pale yellow
  editor.font.pointSize = 14;
  editor.font.face = "Times New Roman";
  const char* ask = again ? "Your notes, as you wrote them. Click Done to end."
                          : "Write a few notes. The right mouse button formats them: font, colour, bullets, "
                            "paragraphs. Click Done when you have finished.";
  b.Task(IconFields{4, again ? "Notes again" : "Notes", "", 3}, number, {},
         {Clear(), Text("Ask", ask, At(40, 30, 600, 110), 16)},
         {[=](CourseBuilder& c) {
            c.RtfEditorResponse(IconFields{4, "Notes editor", "", 3}, tvn::testing::ResponseFields{}, editor,
                                {40, 120, 600, 380});
          },
          Button("Done", "Done", 0, "", {480, 400, 600, 450})});
}

std::vector<std::uint8_t> DemoCourse() {
  tvn::testing::CourseFileFields f;
  f.header = "Demo";
  f.course = IconFields{4, "Demo course", "A first look at the runtime", 3};
  tvn::testing::VariableFields score;
  score.name = "Score";
  score.flags = 0x400;  // an integer
  f.variables.push_back(score);
  tvn::testing::VariableFields kept;
  kept.name = "Kept";  // the score as the file gives it back
  f.variables.push_back(kept);
  tvn::testing::VariableFields learner;
  learner.name = "Name";  // a string
  f.variables.push_back(learner);
  tvn::testing::VariableFields notes;
  notes.name = "Notes";  // the learner's notes, as RTF
  f.variables.push_back(notes);
  tvn::testing::VariableFields verdict;
  verdict.name = "Verdict";  // the result page's words for the score
  f.variables.push_back(verdict);
  // The welcome page: the picture, and its narration; the page moves on when the narration has ended.
  f.tasks.push_back([=](CourseBuilder& b) {
    // A window of the page's size, centred on the screen, with a caption and
    // a minimise box. Its frame styles are applied without scroll bars: the
    // page fits the window, and the view would otherwise scroll over its
    // whole back buffer, as large as the screen.
    auto window = [](CourseBuilder& c) {
      tvn::testing::WindowFields w;
      w.flags = 0x2 | 0x80 | 0x400;  // caption, minimise box, back buffer of the window's size
      w.mode = 0x100 | 0x20 | 0x10000;  // a window, its frame styles, the background filled with white
      c.WindowAction(IconFields{4, "Window", "", 3}, w, At(-1, -1, 640, 480));
    };
    auto picture = [](CourseBuilder& c) {
      tvn::testing::ImageFields image;
      image.fileName = kPictureName;
      c.GraphicsAction(IconFields{4, "Welcome picture", "", 3}, 1500, 0, image, At(272, 200, 368, 264));
    };
    auto narration = [](CourseBuilder& c) {
      tvn::testing::AudioFields audio;
      audio.media.fileName = kNarrationName;
      audio.media.flags |= 0x20;  // its end passes on to the page
      c.AudioAction(IconFields{4, "Narration", "", 3}, audio);
    };
    auto heard = [](CourseBuilder& c) {
      c.MciResponse(IconFields{4, "Narration heard", "", 3}, tvn::testing::ResponseFields{}, 0x1);
    };
    b.Task(IconFields{4, "Welcome", "", 3}, 8, {},
           {window, picture, Text("Hello", "Welcome: listen to the narration.", At(40, 24, 600, 72), 24),
            narration},
           {heard});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    // The name goes into a masked field: a capital first, then up to fifteen more.
    tvn::testing::EditorFields field;
    field.variableId = static_cast<std::uint32_t>(IdOf("Name"));
    field.options = 0x10011;  // left, a border, scrolling as the text grows
    field.mask = "UXXXXXXXXXXXXXXX";
    field.font.pointSize = 16;
    auto enter = [](CourseBuilder& c) {
      c.KeyboardResponse(IconFields{4, "Enter goes on", "", 3}, tvn::testing::ResponseFields{},
                         tvn::testing::KeyFields{0, "", {0, 0, 0, 1}});
    };
    b.Task(IconFields{4, "Name", "Type your name", 3}, 9, {},
           {Clear(), Text("Ask", "What is your name? Click the field, type it and press Enter.",
                          At(40, 80, 600, 140), 20)},
           {tvn::testing::EditorResponse(IconFields{4, "Name field", "", 3}, tvn::testing::ResponseFields{}, field,
                                         {40, 150, 360, 186}),
            enter,
            Button("Start", "Start", 0, "", {400, 142, 520, 192})});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    auto picture = [](CourseBuilder& c) {
      tvn::testing::ImageFields image;
      image.fileName = kPictureName;
      c.GraphicsAction(IconFields{4, "Picture", "", 3}, 1500, 0, image, At(40, 140, 136, 204, 1));
    };
    auto spot = [](CourseBuilder& c) {
      tvn::testing::RegionFields region;
      region.regionFlags = 0x2C;  // inverted under the pointer, flashes when clicked
      tvn::testing::ResponseFields next;
      next.expression = "Score = Score + 1";
      c.RegionResponse(IconFields{4, "Picture answers", "", 3}, next, region, {40, 140, 136, 204});
    };
    auto timer = [](CourseBuilder& c) {
      c.TimeResponse(IconFields{4, "Too slow", "", 3}, tvn::testing::ResponseFields{}, 60);
    };
    // A light gradient behind the whole page.
    auto window = [](CourseBuilder& c) {
      tvn::testing::WindowFields w;
      w.mode = 0x20000 | 0x400000;
      w.gradientStart = 0xFFFFFF;
      w.gradientEnd = 0xFFD8B0;  // a pale blue (0xBBGGRR)
      c.WindowAction(IconFields{4, "Page", "", 3}, w, At(0, 0, 640, 480));
    };
    // A star flying along a curve above the question, again and again.
    auto flyer = [](CourseBuilder& c) {
      tvn::testing::ImageFields image;
      image.fileName = kMaskedName;
      image.flags = 0x10084 | 0x4000;
      c.GraphicsAction(IconFields{4, "Flyer", "", 3}, 1500, 0, image, At(420, 92, 468, 140));
    };
    auto flight = [](CourseBuilder& c) {
      tvn::testing::MoveFields m;
      m.objectName = "Flyer";
      m.time = 300;
      m.path.points = {{444, 116}, {500, 60}, {560, 170}, {610, 116}};
      m.path.types = {2, 4, 4, 2};
      c.MoveAction(IconFields{4, "Flight", "", 3}, m, At(0, 0, 0, 0));
    };
    auto arrow = [](CourseBuilder& c) {
      tvn::testing::ShapeFields s;
      s.type = 0;
      s.arrowStyle = 3;
      s.penWidth = 2;
      s.penColour = 0x404040;
      s.points.points = {{250, 250}, {145, 205}};
      c.ShapeAction(IconFields{4, "Arrow", "", 3}, s, At(0, 0, 0, 0));
    };
    auto oval = [](CourseBuilder& c) {
      tvn::testing::ShapeFields s;
      s.type = 3;
      s.flags = 0x08 | 0x80;
      s.brushColour = 0xFFD8B0;  // the page's blue at the rim
      s.backColour = 0x40C0FF;   // orange in the middle
      s.penStyle = 5;            // no outline
      tvn::testing::DisplayFields d = At(470, 370, 610, 450);
      d.layer = 9;
      c.ShapeAction(IconFields{4, "Oval", "", 3}, s, d);
    };
    auto spinner = [](CourseBuilder& c) {
      tvn::testing::WidgitFields w;
      w.interval = 25;
      tvn::testing::ImageFields image;
      image.fileName = kSpinnerName;
      w.widgets = {{image, 4}};
      c.WidgitAction(IconFields{4, "Spinner", "", 3}, w, At(590, 30, 614, 54));
    };
    auto menu = [](CourseBuilder& c) {
      tvn::testing::MenuItemFields skip;
      skip.caption = "&Skip the question";
      skip.commandId = 5001;
      tvn::testing::MenuItemFields quiz;
      quiz.caption = "&Quiz";
      quiz.subItems = {skip};
      c.MenuAction(IconFields{4, "Menu", "", 3}, {quiz});
    };
    auto skip = [](CourseBuilder& c) {
      c.MenuResponse(IconFields{4, "Skip", "", 3}, tvn::testing::ResponseFields{}, "&Skip the question", 5001);
    };
    b.Task(IconFields{4, "Question", "Click an answer", 3}, 1, {},
           {Clear(), window, menu, oval, Text("Title", "Welcome to the demo quiz", At(40, 30, 600, 90), 28), picture,
            flyer, flight, arrow, spinner,
            Text("Question", "Which colour runs from left to right in the picture? Click it, press its letter, "
                             "or click the picture. Six seconds.", At(160, 140, 600, 220), 12)},
           {Button("Red", "Red to blue (R)", 'r', "Score = Score + 1", {40, 300, 220, 350}),
            Button("Green", "Green to white (G)", 'g', "", {260, 300, 440, 350}), spot, timer, skip});
  });
  // Two more questions: tick the right boxes, then drop the star into the box.
  f.tasks.push_back([=](CourseBuilder& b) {
    auto box = [](const char* name, const char* label, std::uint8_t mark, char key, std::int32_t top) {
      return [=](CourseBuilder& c) {
        tvn::testing::CheckButtonFields check;
        check.label = label;
        check.accessKey = static_cast<std::uint8_t>(key);
        check.font.pointSize = 14;
        check.style = 0x44;
        tvn::testing::ResponseFields marked;
        marked.answerMark = mark;  // 1: right when ticked, 2: right when left alone
        c.CheckButtonResponse(IconFields{4, name, "", 3}, marked, check, {60, top, 360, top + 30});
      };
    };
    auto timer = [](CourseBuilder& c) {
      c.TimeResponse(IconFields{4, "Time is up", "", 3}, tvn::testing::ResponseFields{}, 150);
    };
    // The boxes are judged together when the task ends ("AnswerText" says how);
    // ticked right, they score the question's point. A condition response is
    // asked then, whichever way the page ends, so it may stand first: the
    // last response decides whether the task waits.
    auto judged = [](CourseBuilder& c) {
      tvn::testing::ResponseFields scored;
      scored.expression = "Score = Score + 1";
      c.ConditionResponse(IconFields{4, "Ticked right", "", 3}, scored, "AnswerText = \"Right\"");
    };
    // The quiz menu's one item skips the first question only: the menu bar goes with it.
    auto noMenu = [](CourseBuilder& c) { c.MenuAction(IconFields{4, "No menu", "", 3}, {}); };
    b.Task(IconFields{4, "Fruit", "Tick the boxes", 3}, 2, {},
           {Clear(2), noMenu,
            Text("Ask", "Which of these are fruits? Tick them (or press A, C, T), then click Done.",
                 At(40, 30, 600, 110), 18)},
           {judged, box("Apple", "Apple (A)", 1, 'a', 140), box("Carrot", "Carrot (C)", 2, 'c', 180),
            box("Tomato", "Tomato (T)", 1, 't', 220),
            Button("Done", "Done (D)", 'd', "", {60, 300, 240, 350}), timer});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    auto basket = [](CourseBuilder& c) {
      tvn::testing::ShapeFields s;
      s.type = 1;
      s.flags = 0x04;
      s.brushStyle = 0;
      s.brushColour = 0x60C060;  // green
      c.ShapeAction(IconFields{4, "Basket", "", 3}, s, At(400, 200, 560, 330));
    };
    auto star = [](CourseBuilder& c) {
      tvn::testing::ImageFields image;
      image.fileName = kMaskedName;
      image.flags = 0x10084 | 0x4000;
      tvn::testing::DisplayFields d = At(100, 240, 148, 288);
      d.layer = 4;  // in front of the basket (layer 6), where it is dropped
      c.GraphicsAction(IconFields{4, "Loose star", "", 3}, 1500, 0, image, d);
    };
    auto target = [](CourseBuilder& c) {
      tvn::testing::DragDropFields drag;
      drag.objectName = "Loose star";
      drag.offsetOrMinimum = 24;  // the star's centre is the drop point
      drag.offsetOrMaximum = 24;
      tvn::testing::ResponseFields scored;
      scored.expression = "Score = Score + 1";
      c.DragDropResponse(IconFields{4, "Into the basket", "", 3}, scored, drag, {400, 200, 560, 330});
    };
    auto timer = [](CourseBuilder& c) {
      c.TimeResponse(IconFields{4, "Time is up", "", 3}, tvn::testing::ResponseFields{}, 150);
    };
    b.Task(IconFields{4, "Basket", "Drag and drop", 3}, 3, {},
           {Clear(2), basket, star,
            Text("Ask", "Drag the star into the green basket. Fifteen seconds.", At(40, 30, 600, 110), 18)},
           {target, timer});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    auto anyKey = [](CourseBuilder& c) {
      tvn::testing::ResponseFields next;
      c.KeyboardResponse(IconFields{4, "Any key goes on", "", 3}, next, tvn::testing::KeyFields{});
    };
    auto badge = [](CourseBuilder& c) {
      tvn::testing::ImageFields image;
      image.fileName = kPngName;
      c.GraphicsAction(IconFields{4, "Badge", "", 3}, 1500, 0, image, At(40, 140, 104, 204));
    };
    auto star = [](CourseBuilder& c) {
      tvn::testing::ImageFields image;
      image.fileName = kMaskedName;
      image.flags = 0x10084 | 0x4000;  // transparent by the colour of the top-left pixel
      c.GraphicsAction(IconFields{4, "Star", "", 3}, 1500, 0, image, At(130, 148, 178, 196));
    };
    // The score goes to a file beside the course and comes back by its section.
    auto store = [](CourseBuilder& c) {
      c.WriteAction(IconFields{4, "Keep the score", "", 3}, 0x05, "scores.txt", "#Quiz{CR}{Score}{CR}#End{CR}");
    };
    auto fetch = [](CourseBuilder& c) {
      tvn::testing::ReadFields read;
      read.flags = 0x03;
      read.variableId = IdOf("Kept");
      read.fileName = "scores.txt";
      read.section = "Quiz";
      c.ReadAction(IconFields{4, "Read it back", "", 3}, read);
    };
    // Words that fit the score: praise only for every answer right.
    auto verdict = [](CourseBuilder& c) {
      const std::string all = std::to_string(kQuestions);
      c.VariableAction(IconFields{4, "Verdict", "", 3},
                       "Verdict = IfThenElse(Score > 0, \"Good try\", \"Better luck next time\")\r\n"
                       "Verdict = IfThenElse(Score = " + all + ", \"Well done\", Verdict)");
    };
    const std::string shown = "{Verdict}, {Name}! Score: {Score} of " + std::to_string(kQuestions) +
                              " (kept in scores.txt as {Kept}). Press any key to go on.";
    b.Task(IconFields{4, "Result", "", 3}, 4, {},
           {Clear(2), store, fetch, verdict, Text("Shown", shown, At(40, 30, 600, 132), 20),
            badge, star},
           {anyKey});
  });
  // The film page: a FLIC title that loops while the page shows, and the film
  // with its sound; a frame response moves on once the film is past its middle
  // (a time response does, should the film not play).
  f.tasks.push_back([=](CourseBuilder& b) {
    auto title = [](CourseBuilder& c) {
      tvn::testing::MovieFields m;
      m.flags = 0x1 | 0x1000;  // start here, play
      m.media.kind = 2;
      m.media.fileName = kTitleName;
      m.media.flags |= 0x200000;  // for ever
      c.MovieAction(IconFields{4, "Title", "", 3}, m, At(160, 20, 480, 68));
    };
    auto film = [](CourseBuilder& c) {
      tvn::testing::MovieFields m;
      m.flags = 0x1 | 0x1000;
      m.media.kind = 4;
      m.media.fileName = kFilmName;
      c.MovieAction(IconFields{4, "Film", "", 3}, m, At(200, 160, 440, 340));
    };
    auto middle = [](CourseBuilder& c) {
      tvn::testing::FrameFields frame;
      frame.mediaName = "Film";
      frame.interval = 100;
      frame.threshold = kFilmMiddleFrame * 100;  // a literal counts hundredths of a frame
      c.FrameResponse(IconFields{4, "Past the middle", "", 3}, tvn::testing::ResponseFields{}, frame);
    };
    auto noFilm = [](CourseBuilder& c) {
      c.TimeResponse(IconFields{4, "No film", "", 3}, tvn::testing::ResponseFields{}, 100);
    };
    b.Task(IconFields{4, "Film", "", 3}, 10, {},
           {Clear(2), title,
            Text("About", "A short film: the page goes on by itself once it is past its middle.", At(40, 90, 600, 140),
                 16),
            film},
           {middle, noFilm});
  });
  // Rich text: a shadowed heading and a link; the link leads to task 6, a key
  // past it to the notes page (task 11), where task 6 goes on too.
  f.tasks.push_back([](CourseBuilder& b) { tvn::testing::RichTextPage(b, 5, 6, 11); });
  f.tasks.push_back([=](CourseBuilder& b) {
    auto anyKey = [](CourseBuilder& c) {
      c.KeyboardResponse(IconFields{4, "Any key goes on", "", 3}, tvn::testing::ResponseFields{},
                         tvn::testing::KeyFields{});
    };
    b.Task(IconFields{4, "Followed", "", 3}, 6, {},
           {Clear(), Text("Followed", "You followed the link \"{HyperTextSelected}\". Press any key to go on.",
                          At(40, 140, 600, 220), 18)},
           {anyKey});
  });
  f.tasks.push_back([=](CourseBuilder& b) { NotesPage(b, 11, false); });
  f.tasks.push_back([=](CourseBuilder& b) { NotesPage(b, 12, true); });
  f.tasks.push_back([](CourseBuilder& b) { b.Task(IconFields{4, "The end", "", 3}, 7, {}, {}, {}); });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <course file to write>\n", argv[0]);
    return 2;
  }
  tvn::testing::WriteBytes(argv[1], DemoCourse());
  // The picture lies in the course's own folder, where its name is looked up.
  std::string folder = argv[1];
  const std::size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  tvn::testing::WriteBytes(folder + kPictureName, DemoPicture());
  tvn::testing::WriteBytes(folder + kMaskedName, StarPicture());
  tvn::testing::WriteBytes(folder + kSpinnerName, SpinnerPicture());
  tvn::testing::WriteBytes(folder + kNarrationName, Narration());
  tvn::testing::WriteBytes(folder + kTitleName, tvn::testing::FlicBytes(tvn::testing::BandAnimation(320, 48, 12, 80)));
  if (!BadgePicture().save(QString::fromStdString(folder + kPngName), "PNG")) return 1;
  return 0;
}
