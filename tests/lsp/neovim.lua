-- SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
-- SPDX-License-Identifier: Apache-2.0
-- Neovim's own client on vekhost lsp: opens a configuration file, waits for
-- its diagnostics and writes them as FILE:LINE:COLUMN: SEVERITY: MESSAGE,
-- the way vekhost check prints them, to $VEK_OUT.
-- Usage: VEKHOST=... VEK_CONFIG=... VEK_OUT=... nvim --headless --clean -c 'luafile neovim.lua'
local config = os.getenv("VEK_CONFIG")
vim.cmd("edit " .. vim.fn.fnameescape(config))
local buffer = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({
  name = "vekhost",
  cmd = { os.getenv("VEKHOST"), "lsp" },
  root_dir = vim.fn.getcwd(),
})
vim.lsp.buf_attach_client(buffer, client)
local lines = {}
if vim.wait(20000, function() return #vim.diagnostic.get(buffer) > 0 end, 20) then
  local severities = { [vim.diagnostic.severity.ERROR] = "error", [vim.diagnostic.severity.WARN] = "warning" }
  for _, d in ipairs(vim.diagnostic.get(buffer)) do
    table.insert(lines, string.format("%s:%d:%d: %s: %s", config, d.lnum + 1, d.col + 1, severities[d.severity], d.message))
  end
else
  table.insert(lines, "no diagnostics came")
end
vim.fn.writefile(lines, os.getenv("VEK_OUT"))
vim.lsp.stop_client(client)
vim.wait(5000, function() return vim.lsp.get_client_by_id(client) == nil end, 20)
vim.cmd("qa!")
