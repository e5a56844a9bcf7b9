// Drives `quarn-bsl server` with the protocol's client library, as an editor's client does, over
// a level this test writes into a temporary folder.
// Usage: node client.test.mjs path/to/quarn-bsl

import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(import.meta.url);
const server = process.argv[2];

function fail(message) {
    console.error(`client test: ${message}`);
    process.exit(1);
}

let lsp;
try {
    lsp = require('vscode-languageserver-protocol/node');
} catch {
    fail('the npm packages beside this test are missing: tools/deps.sh installs them, and needs the npm registry for it');
}
if (!server || !fs.existsSync(server))
    fail(`no server at '${server}'`);

// Every wait below is bounded; this bounds them all.
const deadline = setTimeout(() => fail('timed out'), 60000);

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quarn-bsl-client-'));
const level = path.join(folder, 'level01');
fs.mkdirSync(level);
// Written as windows-1252 bytes: '\x80' is the euro sign, which the client reads as one UTF-16
// unit, as it does each of the code page's characters.
const write = (name, lines) => fs.writeFileSync(path.join(level, name), lines.join('\r\n') + '\r\n', 'latin1');
const startLines = [
    '# Opens the first room.',
    'func void level_start(string ai_name)',
    '{',
    '\tai2_spawn ai_name',
    '\tmissing_call',
    '}',
    'func void level_starter(void)',
    '{',
    '\t# level_start in a comment',
    '\tdmsg "caf\xe9 \x80"; level_start(Konoko)',
    '}',
];
write('start.bsl', startLines);
const mainText = [
    'var int alarm = 0;',
    '',
    'func void main(void)',
    '{',
    '\tlevel_start(Muro)',
    '\tai2_spawn ',
    '\tif (alarm eq 0)',
    '\t{',
    '\t\tchr_poison (Muro, 5, 30, 30);',
    '\t}',
    '\tnot_defined_yet',
    '}',
    '',
].join('\n');
const mainUri = pathToFileURL(path.join(level, 'main.bsl')).href;
const startUri = pathToFileURL(path.join(level, 'start.bsl')).href;

const child = spawn(server, ['server'], { stdio: ['pipe', 'pipe', 'inherit'] });
const exited = new Promise(resolve => child.on('exit', code => resolve(code)));
const connection = lsp.createProtocolConnection(
    new lsp.StreamMessageReader(child.stdout), new lsp.StreamMessageWriter(child.stdin));

// The newest diagnostics of each script, and a way to wait for ones that satisfy a test.
const published = new Map();
let waiters = [];
connection.onNotification(lsp.PublishDiagnosticsNotification.type, params => {
    published.set(params.uri, params);
    waiters = waiters.filter(waiter => !waiter(params));
});
function diagnostics(uri, accept) {
    const now = published.get(uri);
    if (now && accept(now))
        return Promise.resolve(now);
    return new Promise(resolve => waiters.push(params => params.uri === uri && accept(params) && (resolve(params), true)));
}
connection.listen();

let checks = 0;
function check(name, test) {
    test();
    ++checks;
    console.log(`ok - ${name}`);
}

try {
    const initialized = await connection.sendRequest(lsp.InitializeRequest.type, {
        processId: process.pid,
        rootUri: pathToFileURL(folder).href,
        capabilities: {
            general: { positionEncodings: ['utf-16'] },
            textDocument: { rename: { prepareSupport: true }, completion: { completionItem: { snippetSupport: true } } },
            workspace: { workspaceEdit: { documentChanges: true } },
        },
    });
    const capabilities = initialized.capabilities;
    check('initialize advertises what works', () => {
        assert.equal(capabilities.positionEncoding, 'utf-16');
        assert.equal(capabilities.textDocumentSync.change, lsp.TextDocumentSyncKind.Incremental);
        assert.ok(capabilities.completionProvider && capabilities.hoverProvider && capabilities.signatureHelpProvider);
        assert.ok(capabilities.documentSymbolProvider && capabilities.foldingRangeProvider);
        assert.ok(capabilities.definitionProvider && capabilities.referencesProvider && capabilities.workspaceSymbolProvider);
        assert.deepEqual(capabilities.renameProvider, { prepareProvider: true });
        assert.deepEqual(capabilities.semanticTokensProvider.legend.tokenTypes,
            ['keyword', 'function', 'comment', 'number', 'enumMember']);
        assert.equal(initialized.serverInfo.name, 'quarn-bsl');
    });
    await connection.sendNotification(lsp.InitializedNotification.type, {});
    await connection.sendNotification(lsp.DidOpenTextDocumentNotification.type, {
        textDocument: { uri: mainUri, languageId: 'bsl', version: 1, text: mainText },
    });

    const mainFindings = await diagnostics(mainUri, params => params.version === 1);
    const startFindings = await diagnostics(startUri, () => true);
    check('diagnostics for the open script and its level on disk', () => {
        assert.deepEqual(mainFindings.diagnostics.map(d => [d.range.start.line, d.range.start.character, d.severity, d.message]),
            [[10, 1, lsp.DiagnosticSeverity.Warning, "'not_defined_yet' is not defined here"]]);
        assert.deepEqual(startFindings.diagnostics.map(d => d.message), ["'missing_call' is not defined here"]);
    });

    const document = { uri: mainUri };
    const argumentList = await connection.sendRequest(lsp.CompletionRequest.type, {
        textDocument: document, position: { line: 5, character: 11 },
        context: { triggerKind: lsp.CompletionTriggerKind.TriggerCharacter, triggerCharacter: ' ' },
    });
    check('completion at an argument of a builder command: its list, the level of the folder first', () => {
        const items = argumentList.items;
        assert.ok(items.length > 10);
        const headings = items.filter(item => item.kind === lsp.CompletionItemKind.Folder);
        assert.ok(headings.length > 1);
        assert.equal(items[0].kind, lsp.CompletionItemKind.Folder);
        assert.match(items[0].label, /^Level 01- Syndicate Warehouse/);
        // A heading changes nothing when chosen; an entry goes in at the caret.
        assert.equal(items[0].textEdit.newText, '');
        assert.equal(items[1].kind, lsp.CompletionItemKind.EnumMember);
        assert.deepEqual(items[1].textEdit.range, { start: { line: 5, character: 11 }, end: { line: 5, character: 11 } });
        const order = items.map(item => item.sortText);
        assert.deepEqual([...order].sort(), order);
    });

    const names = await connection.sendRequest(lsp.CompletionRequest.type, {
        textDocument: document, position: { line: 4, character: 8 },
    });
    check('completion of a name offers what the level declares', () => {
        const offered = names.items.find(item => item.label === 'level_start');
        assert.ok(offered, JSON.stringify(names.items.slice(0, 5)));
        assert.equal(offered.kind, lsp.CompletionItemKind.Function);
        assert.equal(offered.detail, 'level function (string ai_name)');
        assert.deepEqual(offered.textEdit.range, { start: { line: 4, character: 1 }, end: { line: 4, character: 8 } });
    });

    const templates = await connection.sendRequest(lsp.CompletionRequest.type, {
        textDocument: document, position: { line: 6, character: 3 },
    });
    check('completion offers the window\'s templates as snippets, their fields in turn', () => {
        const offered = templates.items.find(item => item.kind === lsp.CompletionItemKind.Snippet && item.label === 'if');
        assert.ok(offered, JSON.stringify(templates.items.slice(0, 5)));
        assert.equal(offered.insertTextFormat, lsp.InsertTextFormat.Snippet);
        assert.equal(offered.textEdit.newText, 'if (${1:condition}) {\n\t${2:body}\n}$0');
    });

    const hover = await connection.sendRequest(lsp.HoverRequest.type, { textDocument: document, position: { line: 4, character: 3 } });
    const builderHover = await connection.sendRequest(lsp.HoverRequest.type, { textDocument: document, position: { line: 5, character: 2 } });
    check('hover shows declarations, comments and the builder\'s description', () => {
        assert.equal(hover.contents.value, '# Opens the first room.\nfunc void level_start(string ai_name)\nreturns void');
        assert.deepEqual(hover.range, { start: { line: 4, character: 1 }, end: { line: 4, character: 12 } });
        assert.match(builderHover.contents.value, /^ai2_spawn\(string ai_name, string force_spawn\)\nreturns void\nspawns all AI/);
    });

    const signature = await connection.sendRequest(lsp.SignatureHelpRequest.type, {
        textDocument: document, position: { line: 8, character: 21 },
    });
    check('signature help marks the argument being typed', () => {
        const shown = signature.signatures[signature.activeSignature];
        assert.match(shown.label, /^chr_poison\(/);
        assert.equal(signature.activeParameter, 1);
        const [from, to] = shown.parameters[1].label;
        assert.equal(shown.label.slice(from, to), 'int damage');
    });

    const symbols = await connection.sendRequest(lsp.DocumentSymbolRequest.type, { textDocument: document });
    check('document symbols: the outline', () => {
        assert.deepEqual(symbols.map(symbol => [symbol.name, symbol.kind]),
            [['alarm', lsp.SymbolKind.Variable], ['main', lsp.SymbolKind.Function]]);
        assert.deepEqual(symbols[1].range, { start: { line: 2, character: 0 }, end: { line: 11, character: 1 } });
        assert.deepEqual(symbols[1].selectionRange, { start: { line: 2, character: 10 }, end: { line: 2, character: 14 } });
    });

    const folding = await connection.sendRequest(lsp.FoldingRangeRequest.type, { textDocument: document });
    check('folding as the window folds: function bodies from their func line, blocks from their if line', () => {
        assert.deepEqual(folding.map(range => [range.startLine, range.endLine]).sort((a, b) => a[0] - b[0]), [[2, 11], [6, 9]]);
    });

    const tokens = await connection.sendRequest(lsp.SemanticTokensRequest.type, { textDocument: document });
    check('semantic tokens in the window\'s classes', () => {
        const legend = capabilities.semanticTokensProvider.legend.tokenTypes;
        const lines = mainText.split('\n');
        const decoded = [];
        let line = 0;
        let character = 0;
        for (let i = 0; i < tokens.data.length; i += 5) {
            const [deltaLine, deltaStart, length, type] = tokens.data.slice(i, i + 4);
            line += deltaLine;
            character = deltaLine === 0 ? character + deltaStart : deltaStart;
            decoded.push([lines[line].substr(character, length), legend[type]]);
        }
        assert.deepEqual(decoded.slice(0, 5), [['var', 'keyword'], ['int', 'keyword'], ['=', 'keyword'], ['0', 'number'], ['func', 'keyword']]);
        assert.ok(decoded.some(([text, type]) => text === 'ai2_spawn' && type === 'function'));
        assert.ok(decoded.some(([text, type]) => text === 'Muro' && type === 'enumMember'));
    });

    await connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
        textDocument: { uri: mainUri, version: 2 },
        contentChanges: [{ range: { start: { line: 10, character: 1 }, end: { line: 10, character: 16 } }, text: 'level_start(Muro)' }],
    });
    const changed = await diagnostics(mainUri, params => params.version === 2);
    check('an incremental change is checked again', () => assert.deepEqual(changed.diagnostics, []));

    // Across the level: main.bsl as the client holds it, start.bsl as it is on disk.
    const range = (line, from, length) => ({ start: { line, character: from }, end: { line, character: from + length } });
    const call = { textDocument: document, position: { line: 4, character: 3 } };
    const useInStart = startLines[9].indexOf('level_start');
    const definition = await connection.sendRequest(lsp.DefinitionRequest.type, call);
    const builtinDefinition = await connection.sendRequest(lsp.DefinitionRequest.type, {
        textDocument: document, position: { line: 5, character: 2 },
    });
    check('definition goes into the sibling file on disk, and nowhere for a built-in', () => {
        assert.deepEqual(definition, { uri: startUri, range: range(1, 10, 11) });
        assert.equal(builtinDefinition, null);
    });

    const withDeclaration = await connection.sendRequest(lsp.ReferencesRequest.type, { ...call, context: { includeDeclaration: true } });
    const usesOnly = await connection.sendRequest(lsp.ReferencesRequest.type, { ...call, context: { includeDeclaration: false } });
    check('references across the level, never in comments or longer names, after the code page\'s characters', () => {
        const uses = [{ uri: mainUri, range: range(4, 1, 11) }, { uri: mainUri, range: range(10, 1, 11) },
            { uri: startUri, range: range(9, useInStart, 11) }];
        assert.deepEqual(withDeclaration, [uses[0], uses[1], { uri: startUri, range: range(1, 10, 11) }, uses[2]]);
        assert.deepEqual(usesOnly, uses);
    });

    const prepared = await connection.sendRequest(lsp.PrepareRenameRequest.type, call);
    await assert.rejects(connection.sendRequest(lsp.RenameRequest.type, { ...call, newName: 'ai2_spawn' }),
        { message: "'ai2_spawn' is built into the game." });
    const renamed = await connection.sendRequest(lsp.RenameRequest.type, { ...call, newName: 'begin_level' });
    check('rename: refused with the window\'s reason, else across the open script and the one on disk', () => {
        assert.deepEqual(prepared, { range: range(4, 1, 11), placeholder: 'level_start' });
        const edit = (line, from) => ({ range: range(line, from, 11), newText: 'begin_level' });
        assert.deepEqual(renamed.documentChanges, [
            { textDocument: { uri: mainUri, version: 2 }, edits: [edit(4, 1), edit(10, 1)] },
            { textDocument: { uri: startUri, version: null }, edits: [edit(1, 10), edit(9, useInStart)] },
        ]);
    });

    const symbolsFound = await connection.sendRequest(lsp.WorkspaceSymbolRequest.type, { query: 'START' });
    check('workspace symbols: the level\'s functions and globals by name', () => {
        assert.deepEqual(symbolsFound.map(symbol => [symbol.name, symbol.kind, symbol.location.uri, symbol.location.range.start.line]),
            [['level_start', lsp.SymbolKind.Function, startUri, 1], ['level_starter', lsp.SymbolKind.Function, startUri, 6]]);
    });

    await connection.sendRequest(lsp.ShutdownRequest.type);
    await connection.sendNotification(lsp.ExitNotification.type);
    const code = await exited;
    check('shutdown and exit end the server cleanly', () => assert.equal(code, 0));
    console.log(`${checks} passed, 0 failed`);
} catch (error) {
    console.error(error);
    console.error(`client test: ${checks} passed, 1 failed`);
    process.exitCode = 1;
    child.kill();
} finally {
    clearTimeout(deadline);
    connection.dispose();
    fs.rmSync(folder, { recursive: true, force: true });
}
