// The table of system variables: names, tables, types, precisions and formats.
#include "model/system_variables.h"

#include "model/variable.h"

namespace {

using namespace VarType;

constexpr SystemVariableDef kDefs[] = {
    {"CourseTitle", FALSE, kString, 0, 0},
    {"NoOfQuestions", FALSE, kNumber, 0, 0},
    {"QuestionsCorrect", FALSE, kNumber, 0, 0},
    {"QuestionsWrong", FALSE, kNumber, 0, 0},
    {"QuestionsAnswered", FALSE, kNumber, 0, 0},
    {"QuestionsRepeated", FALSE, kNumber, 0, 0},
    {"QuestionTime", FALSE, kTimeSpan, 0, 1},
    {"PercentageCorrect", FALSE, kNumber, 0, 0},
    {"CourseDrive", FALSE, kString, 0, 0},
    {"CoursePath", FALSE, kString, 0, 0},
    {"TaskTag", FALSE, kInteger, 0, 0},
    {"CurrentTaskTag", FALSE, kNumber, 0, 0},
    {"PreviousTaskTag", FALSE, kNumber, 0, 0},
    {"AnswerText", FALSE, kString, 0, 0},
    {"StudentName", TRUE, kString, 0, 0},
    {"StudentID", TRUE, kString, 0, 0},
    {"ActualTime", TRUE, kDateTime, 0, 5},
    {"ActualDate", TRUE, kDateTime, 0, 3},
    {"CourseTime", TRUE, kDateTime, 0, 6},
    {"ErrorMessage", TRUE, kString, 0, 0},
    {"ErrorNumber", TRUE, kInteger, 0, 0},
    {"MciReturnData", TRUE, kString, 0, 0},
    {"WindowHandle", TRUE, kInteger, 0, 0},
    {"InstanceHandle", TRUE, kInteger, 0, 0},
    {"ColourDepth", TRUE, kInteger, 0, 0},
    {"ScreenWidth", TRUE, kInteger, 0, 0},
    {"ClickX", TRUE, kInteger, 0, 0},
    {"ClickY", TRUE, kInteger, 0, 0},
    {"ReleaseX", TRUE, kInteger, 0, 0},
    {"ReleaseY", TRUE, kInteger, 0, 0},
    {"ObjectFromX", TRUE, kInteger, 0, 0},
    {"ObjectFromY", TRUE, kInteger, 0, 0},
    {"ObjectToX", TRUE, kInteger, 0, 0},
    {"ObjectToY", TRUE, kInteger, 0, 0},
    {"DragScaleValue", TRUE, kNumber, 0, 0},
    {"DraggedObjectName", TRUE, kString, 0, 0},
    {"PreloadBufferSize", TRUE, kInteger, 0, 0},
    {"CD_Drive", TRUE, kString, 0, 0},
    {"CR", TRUE, kString, 0, 0},
    {"WindowsVersion", TRUE, kNumber, 2, 0},
    {"HyperTextSelected", TRUE, kString, 0, 0},
    {"DoubleQuote", TRUE, kString, 0, 0},
};
static_assert(std::size(kDefs) == 42);

}  // namespace

std::span<const SystemVariableDef> SystemVariableDefs() { return kDefs; }
