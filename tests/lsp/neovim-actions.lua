-- SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
-- SPDX-License-Identifier: Apache-2.0
-- Neovim's own client on vekhost lsp, doing what a user does: applies the
-- quick fix offered for the file's first error and asks for the inlay hints
-- of the whole file; writes the fixed text, then each hint as
-- "LINE:CHARACTER LABEL", to $VEK_OUT.
-- Usage: VEKHOST=... VEK_CONFIG=... VEK_OUT=... nvim --headless --clean -c 'luafile neovim-actions.lua'
vim.cmd("edit " .. vim.fn.fnameescape(os.getenv("VEK_CONFIG")))
local buffer = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({ name = "vekhost", cmd = { os.getenv("VEKHOST"), "lsp", "--stdio" }, root_dir = vim.fn.getcwd() })
vim.lsp.buf_attach_client(buffer, client)
local out = {}
if vim.wait(20000, function() return #vim.diagnostic.get(buffer) > 0 end, 20) then
  local uri = vim.uri_from_bufnr(buffer)
  local errors = vim.diagnostic.get(buffer, { severity = vim.diagnostic.severity.ERROR })
  local first = {}
  for _, d in ipairs(vim.lsp.diagnostic.get_line_diagnostics(buffer, errors[1].lnum)) do
    if d.severity == 1 then table.insert(first, d) end
  end
  local answers = vim.lsp.buf_request_sync(buffer, "textDocument/codeAction", {
    textDocument = { uri = uri },
    range = first[1].range,
    context = { diagnostics = first, only = { "quickfix" } },
  }, 10000)
  local action = answers and answers[client] and answers[client].result and answers[client].result[1]
  if action then
    vim.lsp.util.apply_workspace_edit(action.edit, "utf-16")
    vim.list_extend(out, vim.api.nvim_buf_get_lines(buffer, 0, -1, false))
  else
    table.insert(out, "no quick fix came")
  end
  local hints = vim.lsp.buf_request_sync(buffer, "textDocument/inlayHint", {
    textDocument = { uri = uri },
    range = { start = { line = 0, character = 0 }, ["end"] = { line = vim.api.nvim_buf_line_count(buffer), character = 0 } },
  }, 10000)
  for _, hint in ipairs(hints and hints[client] and hints[client].result or {}) do
    table.insert(out, string.format("%d:%d %s", hint.position.line, hint.position.character, hint.label))
  end
else
  table.insert(out, "no diagnostics came")
end
vim.fn.writefile(out, os.getenv("VEK_OUT"))
vim.lsp.stop_client(client)
vim.wait(5000, function() return vim.lsp.get_client_by_id(client) == nil end, 20)
vim.cmd("qa!")
