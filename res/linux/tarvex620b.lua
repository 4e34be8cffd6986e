-- Wireshark dissector for wire traces of the Tarvex620B controller link, exported with
-- `tarvex trace export TRACE --pcap OUT`: link type USER0 (147), each packet a direction byte
-- (0 host to controller, 1 controller to host), the trace's meaning, then the unit's bytes.
local proto = Proto("tarvex620b", "Tarvex620B controller link")

local units = {
  [0] = "none", [1] = "handshake", [2] = "start", [3] = "header", [4] = "data", [5] = "end",
  [6] = "acknowledge", [7] = "resend request", [8] = "farewell", [9] = "unexpected",
}
local directions = { [0] = "host to controller", [1] = "controller to host" }
local transfers = {
  [18] = "program", [3] = "program", [21] = "parameters", [6] = "parameters",
  [24] = "screen", [9] = "screen",
}

local f = {
  direction = ProtoField.uint8("tarvex620b.direction", "Direction", base.DEC, directions),
  unit = ProtoField.string("tarvex620b.unit", "Unit"),
  bytes = ProtoField.bytes("tarvex620b.bytes", "Bytes", base.SPACE),
  command = ProtoField.uint8("tarvex620b.command", "Command", base.DEC, transfers),
  number = ProtoField.uint16("tarvex620b.number", "Number (program, page or screen)"),
  fields = ProtoField.bytes("tarvex620b.header_fields", "Header fields", base.SPACE),
  payload = ProtoField.bytes("tarvex620b.payload", "Payload", base.SPACE),
  trailer = ProtoField.uint8("tarvex620b.trailer", "Trailer"),
}
proto.fields = { f.direction, f.unit, f.bytes, f.command, f.number, f.fields, f.payload, f.trailer }

local FRAME_BYTES = 18

function proto.dissector(tvb, pinfo, tree)
  if tvb:len() < 3 then return 0 end
  local direction = tvb(0, 1):uint()
  local name = units[tvb(1, 1):uint()] or "unexpected"
  local body = tvb(2)
  pinfo.cols.protocol = "TARVEX620B"
  pinfo.cols.src = direction == 0 and "host" or "controller"
  pinfo.cols.dst = direction == 0 and "controller" or "host"
  pinfo.cols.info = name
  local t = tree:add(proto, tvb(), "Tarvex620B " .. name)
  t:add(f.direction, tvb(0, 1))
  t:add(f.unit, tvb(1, 1), name)
  t:add(f.bytes, body)
  if (name == "header" or name == "data") and body:len() == FRAME_BYTES then
    t:add(f.command, body(0, 1))
    if name == "header" then
      t:add(f.number, body(1, 2))
      t:add(f.fields, body(3, 14))
    else
      t:add(f.payload, body(1, 16))
    end
    t:add(f.trailer, body(17, 1))
  end
  return tvb:len()
end

DissectorTable.get("wtap_encap"):add(wtap.USER0, proto)
