-- Opens a program in headless Neovim with its built-in LSP client on `tarvex lsp`, writes the
-- diagnostics it receives, then puts in the fixed text and writes whether they cleared.
-- Arguments come as globals: TARVEX, PROGRAM, FIXED (a file whose lines replace the buffer), OUT.
local out = assert(io.open(OUT, 'w'))
local function finish(status)
  out:close()
  vim.cmd(status == 0 and 'qall!' or 'cquit!')
end

local ok, err = pcall(function()
  vim.o.fileencodings = 'ucs-bom,utf-8,gbk'
  vim.cmd('edit ' .. vim.fn.fnameescape(PROGRAM))
  local buf = vim.api.nvim_get_current_buf()
  local client = vim.lsp.start_client({ name = 'tarvex', cmd = { TARVEX, 'lsp' },
                                        root_dir = vim.fn.fnamemodify(PROGRAM, ':h') })
  assert(client, 'the client did not start')
  vim.lsp.buf_attach_client(buf, client)
  local got = vim.wait(20000, function() return #vim.diagnostic.get(buf) > 0 end, 20)
  assert(got, 'no diagnostics within 20 s')
  local list = vim.diagnostic.get(buf)
  table.sort(list, function(a, b) return a.lnum < b.lnum or (a.lnum == b.lnum and a.severity < b.severity) end)
  for _, d in ipairs(list) do
    out:write(string.format('%d:%d:%s:%s\n', d.lnum + 1, d.col + 1,
                            d.severity == vim.diagnostic.severity.ERROR and 'error' or 'warning',
                            d.message))
  end
  vim.api.nvim_buf_set_lines(buf, 0, -1, false, vim.fn.readfile(FIXED))
  local cleared = vim.wait(20000, function() return #vim.diagnostic.get(buf) == 0 end, 20)
  out:write(cleared and 'cleared\n' or 'not cleared\n')
  vim.lsp.stop_client(client)
end)
if not ok then out:write('failed: ' .. tostring(err) .. '\n') end
finish(ok and 0 or 1)
