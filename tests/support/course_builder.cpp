// Stored order of the common course object fields and of object lists.
#include "tests/support/course_builder.h"

#include <algorithm>

namespace tvn::testing {

CourseBuilder& CourseBuilder::IconPart(const IconFields& fields) {
  std::uint16_t schema = 2;  // no class reference before version 5
  if (m_version >= 5) schema = m_out.ClassRef("CIconObject", fields.schema);
  m_out.Dword(fields.flags).String(fields.name);
  if (schema >= 3) m_out.String(fields.text);
  return *this;
}

CourseBuilder& CourseBuilder::Manager(std::string_view className, std::uint16_t schema, const IconFields& fields,
                                      const std::vector<Writer>& children) {
  m_out.NewObject(className, schema);
  return InlineManager(fields, children);
}

CourseBuilder& CourseBuilder::InlineManager(const IconFields& fields, const std::vector<Writer>& children) {
  IconPart(fields);
  m_out.Count(static_cast<std::uint32_t>(children.size()));
  for (const Writer& child : children) child(*this);
  return *this;
}

CourseBuilder& CourseBuilder::Task(const IconFields& fields, std::int32_t number, const std::vector<Writer>& events,
                                   const std::vector<Writer>& actions, const std::vector<Writer>& responses,
                                   const IconFields& managerIcon) {
  m_out.NewObject("CTask", 2);
  IconPart(fields);
  m_out.Int(number);
  InlineManager(managerIcon, events);
  InlineManager(managerIcon, actions);
  return InlineManager(managerIcon, responses);
}

CourseBuilder& CourseBuilder::Event(std::string_view className, std::uint16_t schema, const IconFields& fields,
                                    const EventFields& event, const Writer& ownFields) {
  m_out.NewObject(className, schema);
  if (ownFields) ownFields(*this);
  m_out.Dword(event.eventFlags).String(event.condition);
  return IconPart(fields);
}

CourseBuilder& CourseBuilder::DemonEvent(const IconFields& fields, const EventFields& event, std::string_view watch) {
  std::string text(watch);
  return Event("CDemonEvent", 2, fields, event, [text](CourseBuilder& b) { b.out().String(text); });
}

CourseBuilder& CourseBuilder::KeyboardEvent(const IconFields& fields, const EventFields& event, const KeyFields& keys) {
  return Event("CKeyboardEvent", 2, fields, event, [keys](CourseBuilder& b) { b.Keyboard(keys); });
}

CourseBuilder& CourseBuilder::TimeEvent(const IconFields& fields, const EventFields& event, std::int32_t seconds,
                                        std::int32_t variableId) {
  return Event("CTimeEvent", 2, fields, event,
               [seconds, variableId](CourseBuilder& b) { b.VarOrValue(seconds, variableId); });
}

CourseBuilder& CourseBuilder::MenuEvent(const IconFields& fields, const EventFields& event, std::string_view itemText,
                                        std::uint32_t commandId) {
  std::string text(itemText);
  return Event("CMenuEvent", 2, fields, event,
               [text, commandId](CourseBuilder& b) { b.out().String(text).Dword(commandId); });
}

CourseBuilder& CourseBuilder::EventManager(const IconFields& fields, const std::vector<Writer>& events) {
  return Manager("CEventManager", 2, fields, events);
}

CourseBuilder& CourseBuilder::Response(std::string_view className, std::uint16_t schema, const IconFields& fields,
                                       const ResponseFields& response, const Writer& ownFields) {
  m_out.NewObject(className, schema);
  if (ownFields) ownFields(*this);
  ResponseBase(response);
  return IconPart(fields);
}

CourseBuilder& CourseBuilder::ResponseBase(const ResponseFields& r) {
  if (m_version >= 5) m_out.ClassRef("CResponse", r.schema);
  m_out.Dword(r.outcomeFlags).Byte(r.answerMark);
  for (std::size_t i = 0; i < 10; ++i) m_out.Int(i < r.targets.size() ? r.targets[i] : 0);
  m_out.String(r.expression);
  return InlineManager(r.actionsIcon, r.actions);
}

CourseBuilder& CourseBuilder::KeyboardResponse(const IconFields& fields, const ResponseFields& response,
                                               const KeyFields& keys) {
  return Response("CKeyBoardResponse", 2, fields, response, [keys](CourseBuilder& b) { b.Keyboard(keys); });
}

CourseBuilder& CourseBuilder::MouseResponse(const IconFields& fields, const ResponseFields& response,
                                            std::uint32_t mouseFlags) {
  return Response("CMouseResponse", 2, fields, response, [mouseFlags](CourseBuilder& b) { b.out().Dword(mouseFlags); });
}

CourseBuilder& CourseBuilder::TimeResponse(const IconFields& fields, const ResponseFields& response,
                                           std::int32_t tenths, std::int32_t variableId) {
  return Response("CTimeResponse", 1, fields, response,
                  [tenths, variableId](CourseBuilder& b) { b.VarOrValue(tenths, variableId); });
}

CourseBuilder& CourseBuilder::MenuResponse(const IconFields& fields, const ResponseFields& response,
                                           std::string_view itemText, std::uint16_t commandId) {
  std::string text(itemText);
  return Response("CMenuResponse", 2, fields, response,
                  [text, commandId](CourseBuilder& b) { b.out().String(text).Word(commandId); });
}

CourseBuilder& CourseBuilder::ConditionResponse(const IconFields& fields, const ResponseFields& response,
                                                std::string_view condition) {
  std::string text(condition);
  return Response("CConditionResponse", 2, fields, response, [text](CourseBuilder& b) { b.out().String(text); });
}

CourseBuilder& CourseBuilder::BranchResponse(const IconFields& fields, const ResponseFields& response) {
  return Response("CBranchResponse", 2, fields, response);
}

CourseBuilder& CourseBuilder::PushButtonResponse(const IconFields& fields, const ResponseFields& response,
                                                 const ButtonFields& button, const VariableRectFields& rect) {
  return Response("CPushButtonResponse", button.schema, fields, response, [&](CourseBuilder& b) {
    b.m_out.String(button.caption).Byte(button.hotKey).Dword(button.style);
    b.m_out.Dword(button.textColour).Dword(button.faceColour).Dword(button.shadowColour).Dword(button.highlightColour);
    b.m_out.Byte(button.bevel);
    if (button.schema >= 3) b.m_out.String(button.cursorFile);
    for (const ImageFields& image : button.images) b.Image(image);
    b.Font(button.font);
    b.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
  });
}

CourseBuilder& CourseBuilder::RegionResponse(const IconFields& fields, const ResponseFields& response,
                                             const RegionFields& region, const VariableRectFields& rect) {
  return Response("CRegionResponse", 2, fields, response, [&](CourseBuilder& b) {
    b.m_out.Dword(region.mouseFlags).String(region.cursorFile).Dword(region.regionFlags);
    b.m_out.Count(static_cast<std::uint32_t>(region.outline.size()));
    for (const auto& [x, y] : region.outline) b.m_out.Point(x, y);
    b.m_out.Count(static_cast<std::uint32_t>(region.outline.size()));
    for (std::size_t i = 0; i < region.outline.size(); ++i) b.m_out.Byte(2);
    b.Keyboard(region.key);
    b.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
  });
}

CourseBuilder& CourseBuilder::HyperTextResponse(const IconFields& fields, const ResponseFields& response,
                                                std::string_view link) {
  std::string text(link);
  return Response("CHyperTextResponse", 2, fields, response, [text](CourseBuilder& b) { b.out().String(text); });
}

CourseBuilder& CourseBuilder::CheckButtonResponse(const IconFields& fields, const ResponseFields& response,
                                                  const CheckButtonFields& check, const VariableRectFields& rect) {
  return Response("CCheckButtonResponse", 2, fields, response, [&](CourseBuilder& b) {
    b.Font(check.font);
    b.m_out.String(check.label).String(check.condition).Byte(check.accessKey);
    b.m_out.Dword(check.style).Dword(check.textColour).Dword(check.backColour);
    b.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
  });
}

CourseBuilder& CourseBuilder::ListBoxResponse(const IconFields& fields, const ResponseFields& response,
                                              const ListBoxFields& list, const VariableRectFields& rect) {
  return Response("CListBoxResponse", 2, fields, response, [&](CourseBuilder& b) {
    b.m_out.Dword(list.variableId).Dword(list.options).Dword(list.textColour).Dword(list.backColour);
    b.m_out.String(list.items).String(list.selection).String(list.separator);
    b.Font(list.font);
    b.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
  });
}

CourseBuilder& CourseBuilder::RtfEditorResponse(const IconFields& fields, const ResponseFields& response,
                                                const RtfEditorFields& editor, const VariableRectFields& rect) {
  return Response("CRtfEditorResponse", 2, fields, response, [&](CourseBuilder& b) {
    b.m_out.Dword(editor.variableId).Dword(editor.flags).Dword(editor.reserved);
    b.m_out.Dword(editor.textColour).Dword(editor.backColour);
    b.Font(editor.font);
    b.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
  });
}

CourseBuilder& CourseBuilder::GridResponse(const IconFields& fields, const ResponseFields& response,
                                           const GridFields& grid, const VariableRectFields& rect) {
  return Response("CGridResponse", 2, fields, response, [&](CourseBuilder& b) {
    b.m_out.Byte(grid.rows).Byte(grid.columns).Dword(grid.gridFlags).String(grid.cursorFile);
    b.m_out.Count(static_cast<std::uint32_t>(grid.cells.size()));
    for (const CellFields& cell : grid.cells) {
      b.m_out.NewObject(cell.className, 2);
      b.m_out.Byte(cell.reserved).Word(cell.outcomeFlags);
      for (std::size_t i = 0; i < 10; ++i) b.m_out.Int(i < cell.targets.size() ? cell.targets[i] : 0);
      b.m_out.String(cell.expression);
    }
    b.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
  });
}

CourseBuilder& CourseBuilder::DragDropResponse(const IconFields& fields, const ResponseFields& response,
                                               const DragDropFields& drag, const VariableRectFields& rect) {
  return Response("CDragDropResponse", 2, fields, response, [&](CourseBuilder& b) {
    b.m_out.Byte(drag.mode).Dword(drag.dragFlags).String(drag.objectName);
    b.VarOrValue(drag.offsetOrMinimum, drag.offsetOrMinimumVar);
    b.VarOrValue(drag.offsetOrMaximum, drag.offsetOrMaximumVar);
    b.VarOrValue(drag.rangeLow, drag.rangeLowVar);
    b.VarOrValue(drag.rangeHigh, drag.rangeHighVar);
    b.Path(drag.path);
    b.DisplayPart(DisplayFields{"CDisplayResponse", rect, 0, 2, EffectFields{}});
  });
}

CourseBuilder& CourseBuilder::ResponseManager(const IconFields& fields, const std::vector<Writer>& responses) {
  return Manager("CResponseManager", 2, fields, responses);
}

CourseBuilder& CourseBuilder::MenuItem(const MenuItemFields& item) {
  m_out.NewObject("CMenuItem", 2);
  m_out.Dword(item.flags).Dword(item.commandId);
  m_out.String(item.caption).String(item.checkCondition).String(item.disableCondition);
  return MenuItemList(item.subItems);
}

CourseBuilder& CourseBuilder::MenuItemList(const std::vector<MenuItemFields>& items) {
  m_out.Count(static_cast<std::uint32_t>(items.size()));
  for (const MenuItemFields& item : items) MenuItem(item);
  return *this;
}

CourseBuilder& CourseBuilder::PlainObject(const IconFields& fields) {
  m_out.NewObject("CIconObject", 3);
  return IconPart(fields);
}

CourseBuilder& CourseBuilder::Font(const FontFields& f, std::size_t logFontBytes) {
  m_out.ClassRef("CFontObject", 2);
  m_out.Int(f.pointSize);
  ArchiveWriter logFont;
  logFont.Int(f.height).Int(f.width).Int(f.escapement).Int(f.orientation).Int(f.weight);
  logFont.Byte(f.italic).Byte(f.underline).Byte(f.strikeOut).Byte(f.charSet);
  logFont.Byte(f.outPrecision).Byte(f.clipPrecision).Byte(f.quality).Byte(f.pitchAndFamily);
  std::string face = f.face.substr(0, 32);
  face.resize(32, '\0');
  logFont.Raw(face);
  const auto& bytes = logFont.bytes();
  m_out.Raw(bytes.data(), std::min(logFontBytes, bytes.size()));
  return *this;
}

CourseBuilder& CourseBuilder::Effect(const EffectFields& f) {
  const std::uint16_t schema = m_out.ClassRef("CEffectData", f.schema);
  m_out.Byte(f.category).Byte(f.variant).Byte(f.blockSize).Byte(f.stepDelay).Dword(f.flags);
  m_out.String(f.parameter);
  if (schema >= 3) m_out.String(f.secondParameter);
  return *this;
}

CourseBuilder& CourseBuilder::Keyboard(const KeyFields& f) {
  m_out.ClassRef("CKeyboard", 2);
  m_out.Dword(f.flags).String(f.characters).Count(static_cast<std::uint32_t>(f.switches.size()));
  m_out.Raw(f.switches.data(), f.switches.size());
  return *this;
}

CourseBuilder& CourseBuilder::Action(std::string_view className, std::uint16_t schema, const IconFields& fields,
                                     const Writer& ownFields) {
  m_out.NewObject(className, schema);
  if (ownFields) ownFields(*this);
  return IconPart(fields);
}

CourseBuilder& CourseBuilder::ActionManager(const IconFields& fields, const std::vector<Writer>& actions) {
  return Manager("CActionManager", 2, fields, actions);
}

namespace {

std::int32_t NameHash(std::string_view name) {
  std::uint32_t h = 0;
  for (unsigned char c : name) h = h * 33u + static_cast<std::uint32_t>(c >= 0x80 ? static_cast<int>(c) - 256 : c);
  return static_cast<std::int32_t>(h);
}

}  // namespace

CourseBuilder& CourseBuilder::VariableTable(const std::vector<VariableFields>& variables) {
  m_out.ClassRef("CVariableTable", 2);
  m_out.Word(static_cast<std::uint16_t>(variables.size()));
  for (const VariableFields& v : variables) Variable(v);
  return *this;
}

CourseBuilder& CourseBuilder::Variable(const VariableFields& fields) {
  m_out.ClassRef("CVariable", 2);
  m_out.String(fields.name).Byte(fields.precision).Dword(fields.flags);
  m_out.Int(fields.id ? *fields.id : NameHash(fields.name));
  m_out.Byte(fields.formatIndex).String(fields.format);
  if (!fields.recordSet) {
    m_out.Byte(0);
    return *this;
  }
  const RecordSetFields& rs = *fields.recordSet;
  m_out.Byte(1);
  m_out.ClassRef("CRecordSetData", 2);
  m_out.String(rs.source).String(rs.second).String(rs.third);
  m_out.Count(static_cast<std::uint32_t>(rs.first.size()));
  for (const auto& s : rs.first) m_out.String(s);
  m_out.Count(static_cast<std::uint32_t>(rs.columns.size()));
  for (const auto& s : rs.columns) m_out.String(s);
  m_out.Word(static_cast<std::uint16_t>(rs.indices.size()));
  for (std::uint16_t i : rs.indices) m_out.Word(i);
  return *this;
}

CourseBuilder& CourseBuilder::VarOrValue(std::int32_t literal, std::int32_t variableId) {
  m_out.ClassRef("CVarOrValue", 2);
  m_out.Int(literal).Int(variableId);
  return *this;
}

CourseBuilder& CourseBuilder::VariableRect(const VariableRectFields& f) {
  VarOrValue(f.left, f.leftVar);
  VarOrValue(f.top, f.topVar);
  VarOrValue(f.right, f.rightVar);
  return VarOrValue(f.bottom, f.bottomVar);
}

CourseBuilder& CourseBuilder::DisplayPart(const DisplayFields& f) {
  const bool oldForm = m_version <= 3;
  if (!oldForm) m_out.ClassRef(f.className, 2);
  VariableRect(f.rect);
  m_out.Dword(f.displayFlags).Byte(f.layer);
  if (oldForm) {
    m_out.Byte(f.effect.variant).Byte(f.effect.blockSize).Byte(f.effect.stepDelay);
    return *this;
  }
  return Effect(f.effect);
}

CourseBuilder& CourseBuilder::TextAction(const IconFields& fields, const TextFields& t, const DisplayFields& display) {
  return Action("CTextAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(t.flags).Dword(t.textColour).Dword(t.backColour).String(t.text);
    b.m_out.Byte(static_cast<std::uint8_t>(t.shadowX)).Byte(static_cast<std::uint8_t>(t.shadowY)).Dword(t.shadowColour);
    b.VarOrValue(t.rotation, t.rotationVar);
    b.Font(t.font);
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::RtfAction(const IconFields& fields, const RtfFields& r, const DisplayFields& display) {
  return Action("CRtfAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(r.flags).Dword(r.textColour).Dword(r.backColour).String(r.text);
    b.m_out.Byte(static_cast<std::uint8_t>(r.shadowX)).Byte(static_cast<std::uint8_t>(r.shadowY)).Dword(r.shadowColour);
    b.m_out.Byte(r.byteValue).String(r.fileName);
    b.Font(r.font);
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::GraphicsAction(const IconFields& fields, std::uint16_t mode, std::uint32_t graphicsFlags,
                                             const ImageFields& image, const DisplayFields& display) {
  return Action("CGraphicsAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Word(mode).Dword(graphicsFlags);
    b.Image(image);
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::ShapeAction(const IconFields& fields, const ShapeFields& f, const DisplayFields& display) {
  return Action("CShapeAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Byte(f.type).Dword(f.flags);
    b.m_out.Dword(f.penStyle).Int(f.penWidth).Int(f.penWidth).Dword(f.penColour);
    b.m_out.Int(f.cornerX).Int(f.cornerY);
    b.m_out.Dword(f.brushStyle).Dword(f.brushColour).Int(f.brushHatch);
    b.m_out.Dword(f.backColour).Byte(f.arrowStyle);
    b.Path(f.points);
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::MoveAction(const IconFields& fields, const MoveFields& m, const DisplayFields& display) {
  return Action("CMoveAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Byte(m.type).Dword(m.flags).String(m.objectName).Int(m.repeat);
    b.VarOrValue(m.time, m.timeVar);
    b.Path(m.path);
    b.VarOrValue(m.a, m.aVar);
    b.VarOrValue(m.b, m.bVar);
    b.VarOrValue(m.c, m.cVar);
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::WidgitAction(const IconFields& fields, const WidgitFields& w, const DisplayFields& display) {
  return Action("CWidgitAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(w.flags).Int(w.cycleLimit);
    b.VarOrValue(w.interval, w.intervalVar);
    b.m_out.Count(static_cast<std::uint32_t>(w.widgets.size()));
    for (const auto& [image, frames] : w.widgets) {
      b.m_out.NewObject("CWidgit", 2);
      b.Image(image);
      b.m_out.Int(frames);
    }
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::WindowAction(const IconFields& fields, const WindowFields& w, const DisplayFields& display) {
  return Action("CWindowAction", w.schema, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(w.flags).Dword(w.colour).String(w.caption);
    b.m_out.Int(w.pageWidth).Int(w.pageHeight).Int(w.marginX).Int(w.marginY);
    b.m_out.Dword(w.mode);
    if (w.schema >= 3) {
      b.m_out.Dword(w.gradientStart).Dword(w.gradientEnd);
      b.Image(w.image);
    }
    b.m_out.Count(static_cast<std::uint32_t>(w.keptLayers.size()));
    b.m_out.Raw(w.keptLayers.data(), w.keptLayers.size());
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::MenuAction(const IconFields& fields, const std::vector<MenuItemFields>& items) {
  return Action("CMenuAction", 2, fields, [&](CourseBuilder& b) { b.MenuItemList(items); });
}

CourseBuilder& CourseBuilder::PrintAction(const IconFields& fields, std::uint32_t flags, std::int32_t scale,
                                          std::array<std::int32_t, 4> margins) {
  return Action("CPrintAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(flags).Int(scale).Rect(margins[0], margins[1], margins[2], margins[3]);
  });
}

CourseBuilder& CourseBuilder::PaletteAction(const IconFields& fields, std::uint32_t flags, std::string_view file) {
  return Action("CPaletteAction", 2, fields, [&](CourseBuilder& b) { b.m_out.Dword(flags).String(file); });
}

CourseBuilder& CourseBuilder::PreloadAction(const IconFields& fields, std::uint32_t flags, std::int32_t budget,
                                            const std::vector<std::string>& files, std::uint16_t schema) {
  return Action("CPreloadAction", schema, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(flags);
    if (schema >= 3) {
      b.m_out.Int(budget).Count(static_cast<std::uint32_t>(files.size()));
      for (const std::string& f : files) b.m_out.String(f);
    } else {
      b.m_out.String(files.empty() ? std::string() : files.front());
    }
  });
}

CourseBuilder& CourseBuilder::Path(const PathFields& path) {
  m_out.Count(static_cast<std::uint32_t>(path.points.size()));
  for (const auto& [x, y] : path.points) m_out.Point(x, y);
  m_out.Count(static_cast<std::uint32_t>(path.points.size()));
  for (std::size_t i = 0; i < path.points.size(); ++i) m_out.Byte(i < path.types.size() ? path.types[i] : 2);
  return *this;
}

CourseBuilder& CourseBuilder::AreaAction(std::string_view className, const IconFields& fields, const AreaFields& area,
                                         const DisplayFields& display) {
  const std::uint16_t schema = className == "CTransitionAction" ? 1 : 2;
  return Action(className, schema, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(area.flags).String(area.names).Count(static_cast<std::uint32_t>(area.layers.size()));
    b.m_out.Raw(area.layers.data(), area.layers.size());
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::VariableAction(const IconFields& fields, std::string_view script) {
  return Action("CVariableAction", 2, fields, [&](CourseBuilder& b) { b.m_out.String(script); });
}

CourseBuilder& CourseBuilder::CourseAction(const IconFields& fields, std::uint32_t courseFlags, std::string_view file,
                                           std::int32_t task, std::int32_t taskVar) {
  return Action("CCourseAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(courseFlags).String(file);
    b.VarOrValue(task, taskVar);
  });
}

CourseBuilder& CourseBuilder::WriteAction(const IconFields& fields, std::uint32_t flags, std::string_view file,
                                          std::string_view text) {
  return Action("CWriteAction", 2, fields, [&](CourseBuilder& b) { b.m_out.Dword(flags).String(file).String(text); });
}

CourseBuilder& CourseBuilder::ReadAction(const IconFields& fields, const ReadFields& read) {
  return Action("CReadAction", read.schema, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(read.flags).Int(read.variableId).String(read.fileName);
    if (read.schema >= 3) b.m_out.String(read.marker).String(read.section);
  });
}

CourseBuilder& CourseBuilder::RunAction(const IconFields& fields, std::string_view program, std::string_view parameters,
                                        std::uint32_t flags) {
  return Action("CRunAction", 2, fields, [&](CourseBuilder& b) { b.m_out.String(program).String(parameters).Dword(flags); });
}

CourseBuilder& CourseBuilder::DllAction(const IconFields& fields, const DllFields& dll) {
  return Action("CDLLAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Int(dll.reserved).Int(dll.resultVariable).String(dll.library).String(dll.function);
    b.m_out.String(dll.argumentTypes).String(dll.arguments).Byte(dll.resultType);
  });
}

CourseBuilder& CourseBuilder::DdeAction(const IconFields& fields, const DdeFields& dde) {
  return Action("CDDEAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.String(dde.application).String(dde.topic).String(dde.command).String(dde.item);
    b.m_out.Dword(dde.flags).Word(dde.format).Int(dde.resultVariable);
  });
}

CourseBuilder& CourseBuilder::SimulatorAction(const IconFields& fields, std::string_view simulation) {
  return Action("CSimulatorAction", 2, fields, [&](CourseBuilder& b) { b.m_out.String(simulation); });
}

CourseBuilder& CourseBuilder::MediaFileObject(const MediaFields& media) {
  m_out.ClassRef("CMediaFileObject", 2);
  m_out.Dword(media.flags).Byte(media.kind).Dword(media.loopCount).String(media.fileName);
  for (std::int32_t value : {media.from, media.to, media.balance, media.volume, media.speed}) VarOrValue(value, 0);
  return *this;
}

CourseBuilder& CourseBuilder::AudioAction(const IconFields& fields, const AudioFields& audio) {
  return Action("CAudioAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Byte(audio.source);
    for (std::int32_t v : audio.start) b.m_out.Int(v);
    for (std::int32_t v : audio.end) b.m_out.Int(v);
    b.m_out.Dword(audio.flags);
    b.MediaFileObject(audio.media);
  });
}

CourseBuilder& CourseBuilder::MciAction(const IconFields& fields, std::string_view script, std::uint16_t value) {
  return Action("CMCIAction", 2, fields, [&](CourseBuilder& b) { b.m_out.String(script).Word(value); });
}

CourseBuilder& CourseBuilder::MciResponse(const IconFields& fields, const ResponseFields& response,
                                          std::uint32_t notifyFlags) {
  return Response("CMCIResponse", 2, fields, response, [notifyFlags](CourseBuilder& b) { b.m_out.Dword(notifyFlags); });
}

CourseBuilder& CourseBuilder::MovieAction(const IconFields& fields, const MovieFields& movie,
                                          const DisplayFields& display) {
  return Action("CMovieAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Dword(movie.flags);
    for (std::int32_t v : movie.crop) b.m_out.Int(v);
    b.MediaFileObject(movie.media);
    b.DisplayPart(display);
  });
}

CourseBuilder& CourseBuilder::FrameResponse(const IconFields& fields, const ResponseFields& response,
                                            const FrameFields& frame) {
  return Response("CFrameResponse", 2, fields, response, [&](CourseBuilder& b) {
    b.m_out.String(frame.mediaName).Dword(frame.frameFlags).Dword(frame.interval);
    b.VarOrValue(frame.threshold, frame.thresholdVar);
  });
}

CourseBuilder& CourseBuilder::OdbcAction(const IconFields& fields, const OdbcFields& odbc) {
  return Action("CODBCAction", 2, fields, [&](CourseBuilder& b) {
    b.m_out.Int(odbc.valueB).Int(odbc.valueA).Byte(odbc.option).String(odbc.text1).String(odbc.text2).String(odbc.text3);
  });
}

CourseBuilder& CourseBuilder::Image(const ImageFields& fields) {
  m_out.String(fields.fileName).Dword(fields.flags);
  m_out.Rect(fields.rect[0], fields.rect[1], fields.rect[2], fields.rect[3]);
  m_out.Dword(fields.keyColour).String(fields.maskFileName);
  for (std::int32_t v : fields.offset) VarOrValue(v, 0);
  return *this;
}

CourseBuilder& CourseBuilder::EmbeddedFonts(const std::vector<EmbeddedFontFields>& fonts) {
  m_out.Count(static_cast<std::uint32_t>(fonts.size()));
  for (const EmbeddedFontFields& font : fonts) {
    m_out.NewObject("CEmbeddedFontObj", 2);
    m_out.ClassRef("CEmbeddedFontObj", 2);
    m_out.String(font.face).String(font.style).String(font.fileName);
    m_out.Count(static_cast<std::uint32_t>(font.data.size()));
    m_out.Raw(font.data.data(), font.data.size());
  }
  return *this;
}

CourseBuilder& CourseBuilder::CourseFile(const CourseFileFields& f) {
  m_out.Dword(f.wideMark);
  m_out.Raw(f.signature.substr(0, 3));
  m_out.Dword(f.version);
  m_out.Rect(0, 0, 640, 480).Dword(0).Byte(f.flags).String(f.header);
  VariableTable(f.variables);
  m_out.Count(static_cast<std::uint32_t>(f.searchPaths.size()));
  for (const std::string& path : f.searchPaths) m_out.String(path);
  IconPart(f.course);
  m_out.Count(static_cast<std::uint32_t>(f.tasks.size()));
  for (const Writer& task : f.tasks) task(*this);
  PackagerInfo(f.packaging, f.packagingSchema);
  return EmbeddedFonts(f.fonts);
}

CourseBuilder& CourseBuilder::PackagerInfo(const PackagerFields& fields, std::uint16_t schema) {
  m_out.ClassRef("CPackagerInfo", schema);
  m_out.Dword(fields.word);
  if (schema < 7) m_out.Dword(fields.extraWord);
  for (int i = 0; i < 7; ++i) m_out.String(fields.texts[static_cast<std::size_t>(i)]);
  if (schema > 2) {
    m_out.Dword(fields.flags);
  } else {
    for (std::int32_t v : fields.oldOptions) m_out.Int(v);
  }
  m_out.Count(static_cast<std::uint32_t>(fields.files.size()));
  for (const std::string& f : fields.files) m_out.String(f);
  m_out.String(fields.texts[7]);
  if (schema > 3) m_out.String(fields.texts[8]);
  if (schema > 4) m_out.String(fields.texts[9]).Int(fields.value1).Int(fields.value2);
  return *this;
}

}  // namespace tvn::testing
