// The page's side of the window: the controls the C++ shell asks for, the dialogs, the
// clipboard and the files, in the browser's own terms. Every rule of the program is in the
// commands; this file only shows, asks and carries.
"use strict";

var Kasorel = (function () {
  const page = {};
  let busy = false;
  const byId = (id) => document.getElementById(id);
  // Text between the page and the program: UTF-16 code units as they are (a lone surrogate
  // stays one), after a 32-bit count in the program's memory.
  page.text = function (units, count) {
    let text = "";
    const base = units >> 1;
    for (let i = 0; i < count; i += 8192)
      text += String.fromCharCode.apply(null, HEAPU16.subarray(base + i, base + Math.min(count, i + 8192)));
    return text;
  };
  page.toWasm = kasorelUtf16;
  const make = (tag, props, parent) => {
    const element = Object.assign(document.createElement(tag), props || {});
    if (parent) parent.appendChild(element);
    return element;
  };

  // One command at a time: while one runs (it may wait for the person, the clipboard or the
  // network), clicks and keys meant for another are dropped, never run afterwards.
  page.run = function (handler) {
    if (busy || !Module.calledRun) return;
    busy = true;
    byId("Memo1").readOnly = true;
    Promise.resolve(Module.ccall("kasorel_run", null, ["number"], [handler], { async: true }))
      .catch((error) => console.error(error))
      .finally(() => {
        busy = false;
        byId("Memo1").readOnly = false;
      });
  };

  page.frame = (caption, background, font, px) => {
    document.title = caption;
    Object.assign(document.body.style, { background: background, fontFamily: font, fontSize: px + "px" });
    document.documentElement.classList.add("ready");
  };

  // The controls, made from the layout table by the shell.
  page.memo = function (name, label, families, px, colour, background, tabIndex, height) {
    const memo = byId(name);
    memo.setAttribute("aria-label", label);
    Object.assign(memo.style, { fontFamily: families, fontSize: px + "px", color: colour,
                                background: background, flexBasis: height + "px" });
    memo.tabIndex = tabIndex;
    listenForOwnSteps(memo);
  };

  let lastRight = 0;
  page.button = function (handler, name, caption, x, y, width, height, families, px, colour,
                          visible, tabIndex) {
    const row = byId("buttons");
    const button = make("button", { id: name, type: "button", tabIndex: tabIndex }, row);
    const arrow = make("span", { className: "arrow" }, button);
    arrow.setAttribute("aria-hidden", "true");
    make("span", { className: "caption", textContent: caption }, button);
    Object.assign(button.style, { minWidth: width + "px", height: height + "px",
                                  fontFamily: families, fontSize: px + "px", color: colour });
    if (!visible) {
      button.hidden = true;
    } else {
      // The layout's gaps between the buttons; a narrow page wraps them instead.
      button.style.marginLeft = x - lastRight + "px";
      row.style.paddingTop = Math.max(0, y - row.dataset.top) + "px";
      lastRight = x + width;
    }
    button.addEventListener("click", () => page.run(handler));
  };

  page.buttonRow = function (panelHeight, commandLink) {
    const row = byId("buttons");
    row.dataset.top = panelHeight;
    const style = document.documentElement.style;
    for (const name of Object.keys(commandLink)) style.setProperty("--link-" + name, commandLink[name] + "px");
  };

  // The menu bar, as a desktop's: a tab stop of its own, arrows between the menus and their
  // items, Escape back out.
  function menuOf(menuCaption, menuName) {
    const bar = byId("MainMenu1");
    let menu = byId(menuName);
    if (!menu) {
      const holder = make("li", { className: "menu" }, bar);
      holder.setAttribute("role", "none");
      const top = make("button", { type: "button", textContent: menuCaption, id: menuName + "Title" },
                       holder);
      top.setAttribute("role", "menuitem");
      top.setAttribute("aria-haspopup", "menu");
      top.setAttribute("aria-expanded", "false");
      top.tabIndex = bar.children.length === 1 ? 0 : -1;
      menu = make("ul", { id: menuName, hidden: true }, holder);
      menu.setAttribute("role", "menu");
      menu.setAttribute("aria-label", menuCaption);
      top.addEventListener("click", () => (menu.hidden ? openMenu(top, false) : closeMenus(top)));
      top.addEventListener("mouseenter", () => {
        if (openTop() && openTop() !== top) openMenu(top, false);
      });
      top.addEventListener("keydown", (event) => topKey(event, top));
    }
    return menu;
  }
  function itemIn(menu, before, handler, caption, name) {
    const entry = make("li", {});
    menu.insertBefore(entry, before);
    entry.setAttribute("role", "none");
    const item = make("button", { type: "button", id: name, textContent: caption, tabIndex: -1 }, entry);
    item.setAttribute("role", "menuitem");
    item.addEventListener("click", () => {
      closeMenus(null);
      page.run(handler);
    });
    item.addEventListener("keydown", (event) => itemKey(event, item));
    return item;
  }
  page.menuItem = function (handler, menuCaption, menuName, caption, name, shortcut) {
    const item = itemIn(menuOf(menuCaption, menuName), null, handler, caption, name);
    if (shortcut === "Ctrl+Enter") {
      make("span", { className: "shortcut", textContent: shortcut }, item).setAttribute("aria-hidden", "true");
      item.setAttribute("aria-label", caption);
      item.setAttribute("aria-keyshortcuts", "Control+Enter");
      // Either Enter key, anywhere in the page while no dialog is open.
      document.addEventListener("keydown", (event) => {
        if (event.key === "Enter" && event.ctrlKey && !event.altKey && !event.shiftKey &&
            !document.querySelector("dialog[open]")) {
          event.preventDefault();
          closeMenus(null);
          page.run(handler);
        }
      });
    }
  };
  // The place of the kinds the person made: their items go before an entry nobody sees, in
  // place of those there before.
  page.madeKindsAnchor = function (menuCaption, menuName, name) {
    const anchor = make("li", { id: name, hidden: true }, menuOf(menuCaption, menuName));
    anchor.setAttribute("role", "none");
  };
  page.madeKinds = function (anchorName, firstHandler, itemName, names) {
    const anchor = byId(anchorName);
    for (const old of anchor.parentElement.querySelectorAll("li.made")) old.remove();
    names.forEach((caption, i) => {
      itemIn(anchor.parentElement, anchor, firstHandler + i, caption, itemName + (i + 1))
        .parentElement.classList.add("made");
    });
  };

  const tops = () => Array.from(document.querySelectorAll("#MainMenu1 > li > button"));
  const itemsOf = (top) => Array.from(top.nextElementSibling.querySelectorAll("li:not([hidden]) > button"));
  const openTop = () => tops().find((top) => top.getAttribute("aria-expanded") === "true");
  function closeMenus(focusTop) {
    for (const top of tops()) {
      top.setAttribute("aria-expanded", "false");
      top.nextElementSibling.hidden = true;
    }
    if (focusTop) focusTop.focus();
  }
  function openMenu(top, focusLast) {
    closeMenus(null);
    top.setAttribute("aria-expanded", "true");
    top.nextElementSibling.hidden = false;
    const items = itemsOf(top);
    (focusLast ? items[items.length - 1] : items[0]).focus();
  }
  function moveTop(top, step) {
    const all = tops();
    const next = all[(all.indexOf(top) + step + all.length) % all.length];
    for (const t of all) t.tabIndex = t === next ? 0 : -1;
    return next;
  }
  function topKey(event, top) {
    const keys = { ArrowRight: 1, ArrowLeft: -1 };
    if (event.key in keys) {
      const next = moveTop(top, keys[event.key]);
      openTop() ? openMenu(next, false) : next.focus();
    } else if (["ArrowDown", "Enter", " "].includes(event.key)) {
      openMenu(top, false);
    } else if (event.key === "ArrowUp") {
      openMenu(top, true);
    } else if (event.key === "Escape") {
      closeMenus(top);
    } else {
      return;
    }
    event.preventDefault();
  }
  function itemKey(event, item) {
    const top = item.closest(".menu").firstElementChild;
    const items = itemsOf(top);
    const at = items.indexOf(item);
    const moves = { ArrowDown: 1, ArrowUp: -1 };
    if (event.key in moves) {
      items[(at + moves[event.key] + items.length) % items.length].focus();
    } else if (event.key === "ArrowRight" || event.key === "ArrowLeft") {
      openMenu(moveTop(top, event.key === "ArrowRight" ? 1 : -1), false);
    } else if (event.key === "Escape") {
      closeMenus(top);
    } else if (event.key === "Tab") {
      closeMenus(null);
      return;
    } else if (event.key === "Home" || event.key === "End") {
      items[event.key === "Home" ? 0 : items.length - 1].focus();
    } else {
      return;
    }
    event.preventDefault();
  }
  document.addEventListener("pointerdown", (event) => {
    if (openTop() && !event.target.closest("#MainMenu1")) closeMenus(null);
  });
  // F10 and Alt alone reach the menu bar, as on the desktop.
  document.addEventListener("keydown", (event) => {
    if (event.key === "F10" && !event.shiftKey && !event.ctrlKey) {
      event.preventDefault();
      (tops().find((t) => t.tabIndex === 0) || tops()[0]).focus();
    }
  });

  page.status = (text) => {
    byId("StatusLabel").textContent = text;
  };
  page.focusMemo = () => byId("Memo1").focus();

  page.wait = function (on) {
    const main = byId("Form1");
    main.setAttribute("aria-busy", on ? "true" : "false");
    document.documentElement.classList.toggle("waiting", on);
    for (const control of main.querySelectorAll("button")) control.disabled = on;
  };

  // The text area. A command's change (a paste's too) goes in as one edit of the text that
  // changed, through the browser's own editing, so that its undo takes the whole command back
  // in one step. That editing takes a millisecond and more for every line it inserts, and
  // time in proportion to the text's lines times the lines it inserts (seconds for a
  // statement of a thousand lines), so a larger change goes in at once, with an undo step of
  // the page's own: Ctrl+Z takes it back and Ctrl+Y (Ctrl+Shift+Z) puts it in again while the
  // text is as the step left it. The browser forgets its own steps before such a change.
  const nativeEditLimit = 40000;
  const nativeLineLimit = 100;
  let ownStep = null;
  const linesOf = (text, limit) => {
    let lines = 1;
    for (let at = text.indexOf("\n"); at >= 0 && lines <= limit; at = text.indexOf("\n", at + 1)) ++lines;
    return lines;
  };
  function selectionOf(memo) {
    return [memo.selectionStart, memo.selectionEnd, memo.selectionDirection];
  }
  function takeStep(memo, redo) {
    if (!ownStep || memo.value !== (redo ? ownStep.before : ownStep.after)) return false;
    memo.setRangeText(redo ? ownStep.after : ownStep.before, 0, memo.value.length, "end");
    const selection = redo ? ownStep.selectionAfter : ownStep.selectionBefore;
    memo.setSelectionRange(selection[0], selection[1], selection[2]);
    memo.dispatchEvent(new Event("input", { bubbles: true }));
    return true;
  }
  function listenForOwnSteps(memo) {
    memo.addEventListener("keydown", (event) => {
      if (!(event.ctrlKey || event.metaKey) || event.altKey) return;
      const key = event.key.toLowerCase();
      const redo = key === "y" || (key === "z" && event.shiftKey);
      if ((key === "z" || redo) && takeStep(memo, redo)) event.preventDefault();
    });
    memo.addEventListener("beforeinput", (event) => {
      if (event.inputType === "historyUndo" || event.inputType === "historyRedo")
        if (takeStep(memo, event.inputType === "historyRedo")) event.preventDefault();
    });
  }
  page.memoValue = () => byId("Memo1").value;
  page.memoSelection = function () {
    const memo = byId("Memo1");
    const backward = memo.selectionDirection === "backward";
    return backward ? [memo.selectionEnd, memo.selectionStart] : [memo.selectionStart, memo.selectionEnd];
  };
  page.replaceMemo = function (from, to, middle, anchor, caret) {
    const memo = byId("Memo1");
    if (from !== null) {
      memo.readOnly = false;
      memo.focus();
      const inserted = linesOf(middle, nativeEditLimit);
      const native = inserted <= nativeLineLimit &&
                     linesOf(memo.value, nativeEditLimit / inserted) * inserted <= nativeEditLimit;
      const before = memo.value;
      const selectionBefore = selectionOf(memo);
      memo.setSelectionRange(from, to);
      let done = native && (middle === "" ? document.execCommand("delete", false)
                                          : document.execCommand("insertText", false, middle));
      if (done) {
        ownStep = null;
      } else {
        memo.setRangeText(middle, from, to, "end");
        ownStep = { before, after: memo.value, selectionBefore };
      }
      memo.readOnly = busy;
    }
    memo.setSelectionRange(Math.min(anchor, caret), Math.max(anchor, caret),
                           caret < anchor ? "backward" : "forward");
    if (ownStep && from !== null) ownStep.selectionAfter = selectionOf(memo);
  };

  // The clipboard: written inside the click that ran the command; where the browser refuses
  // the clipboard API (no permission, a page from a file, an older browser), the copy command
  // on a hidden selection.
  page.writeClipboard = async function (text) {
    try {
      await navigator.clipboard.writeText(text);
      return true;
    } catch (error) {
      const holder = make("textarea", { value: text, readOnly: true, className: "offscreen" }, document.body);
      holder.setAttribute("aria-hidden", "true");
      holder.select();
      let copied = false;
      try {
        copied = document.execCommand("copy");
      } catch (ignored) {
      }
      holder.remove();
      return copied;
    }
  };
  page.readClipboard = async function () {
    try {
      return await navigator.clipboard.readText();
    } catch (error) {
      return null;
    }
  };

  // The dialogs: modal, titled as on the desktop, the default button focused, Enter answers
  // it and Escape cancels; the keyboard goes back to the text area when they close.
  function box(kind, title, text, buttons) {
    return new Promise((resolve) => {
      const dialog = make("dialog", { className: "box " + kind }, document.body);
      dialog.setAttribute("role", kind === "error" || kind === "question" ? "alertdialog" : "dialog");
      const heading = make("h2", { id: "boxTitle" + Date.now(), textContent: title }, dialog);
      dialog.setAttribute("aria-labelledby", heading.id);
      const form = make("form", { method: "dialog" }, dialog);
      const body = make("div", { className: "body" }, form);
      make("span", { className: "icon" }, body).setAttribute("aria-hidden", "true");
      const message = make("p", { id: heading.id + "Text", textContent: text }, body);
      dialog.setAttribute("aria-describedby", message.id);
      let field = null;
      if (kind === "input") {
        message.remove();
        const label = make("label", { textContent: text }, body);
        field = make("input", { type: "text", value: buttons.defaultText, spellcheck: false }, label);
        field.setAttribute("autocomplete", "off");
      }
      const row = make("div", { className: "buttons" }, form);
      let answer = buttons.cancel;
      for (const choice of buttons.list) {
        const button = make("button", { value: choice.value, type: choice.submit ? "submit" : "button" }, row);
        const mark = choice.caption.indexOf("&");
        if (mark < 0) {
          button.textContent = choice.caption;
        } else {
          // "はい(&Y)": Y underlined, and the key Y answers it.
          button.append(choice.caption.slice(0, mark));
          make("u", { textContent: choice.caption[mark + 1] }, button);
          button.append(choice.caption.slice(mark + 2));
          dialog.addEventListener("keydown", (event) => {
            if (event.key.toLowerCase() === choice.caption[mark + 1].toLowerCase() && !event.ctrlKey) {
              event.preventDefault();
              button.click();
            }
          });
        }
        button.addEventListener("click", () => {
          answer = choice.value;
          dialog.close();
        });
        if (choice.isDefault) button.autofocus = true;
      }
      if (field) field.addEventListener("keydown", (event) => {
        if (event.key === "Enter") {
          event.preventDefault();
          answer = "ok";
          dialog.close();
        }
      });
      dialog.addEventListener("cancel", () => {
        answer = buttons.cancel;
      });
      dialog.addEventListener("close", () => {
        const value = field ? (answer === "ok" ? field.value : null) : answer;
        dialog.remove();
        page.focusMemo();
        resolve(value);
      });
      dialog.showModal();
      if (field) {
        field.focus();
        field.select();
      } else {
        row.querySelector("[autofocus]").focus();
      }
    });
  }
  const ok = { caption: "OK", value: "ok", isDefault: true, submit: true };
  page.inputQuery = (title, prompt, defaultText) =>
    box("input", title, prompt, { defaultText, cancel: "cancel",
      list: [ok, { caption: "キャンセル", value: "cancel" }] });
  page.confirm = (question) =>
    box("question", "確認", question, { cancel: "no", list: [
      { caption: "はい(&Y)", value: "yes", isDefault: true }, { caption: "いいえ(&N)", value: "no" }] })
      .then((answer) => answer === "yes");
  page.inform = (text) => box("information", "情報", text, { cancel: "ok", list: [ok] });
  page.showError = (caption, text) => box("error", caption, text, { cancel: "ok", list: [ok] });

  page.openUrl = (address) => {
    window.open(address, "_blank", "noopener");
  };

  // Files the person carries between the page and the desktop.
  page.offer = function (name, bytes) {
    const link = make("a", { href: URL.createObjectURL(new Blob([bytes])), download: name }, document.body);
    link.click();
    setTimeout(() => {
      URL.revokeObjectURL(link.href);
      link.remove();
    }, 0);
  };
  page.pick = function () {
    return new Promise((resolve) => {
      const input = make("input", { type: "file", className: "offscreen" }, document.body);
      input.accept = ".ini,text/plain";
      let settled = false;
      const settle = (value) => {
        if (settled) return;
        settled = true;
        input.remove();
        page.focusMemo();
        resolve(value);
      };
      input.addEventListener("cancel", () => settle(null));
      input.addEventListener("change", () => {
        const file = input.files[0];
        if (!file) return settle(null);
        file.arrayBuffer().then((buffer) => settle({ name: file.name, bytes: new Uint8Array(buffer) }),
                                () => settle({ name: file.name, bytes: null }));
      });
      input.click();
    });
  };

  return page;
})();

Module["onRuntimeInitialized"] = function () {
  addEventListener("pagehide", () => Module.ccall("kasorel_close", null, [], []));
};
